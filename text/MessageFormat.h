#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace tessaly {

// Fills a message used as a format. Each "%s" or "%d" takes the next argument, already turned into text by
// the caller; "%%" is a percent sign; any other "%" stands for itself, and a placeholder without an
// argument is left out. A translated message can therefore never make the formatting read memory it was
// not given, whatever it contains.
std::string FormatMessage(std::string_view format, std::initializer_list<std::string_view> arguments);

}  // namespace tessaly
