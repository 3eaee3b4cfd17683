#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace tessaly {

// Texts are byte strings in the core. For display they are read as UTF-8 when they are valid UTF-8 and as
// Windows-1252 otherwise, which is what templates and language files written on Western Windows systems
// hold. Text typed by the user goes back as UTF-8; a choice picked from a list is mapped back through its
// index, never through its text, so a Windows-1252 choice keeps its exact bytes.
QString ToDisplay(std::string_view text);
std::string FromDisplay(const QString& text);

}  // namespace tessaly
