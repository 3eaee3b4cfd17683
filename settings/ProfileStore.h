#pragma once

#include <string>
#include <string_view>

namespace tessaly {

// Whole numbers and texts kept for the user between runs, by section and key. The desktop keeps them with
// QSettingsProfileStore; the command line and the tests put in stores of their own.
class ProfileStore {
  public:
    virtual ~ProfileStore() = default;

    // The stored number, or defaultValue when the key is missing or holds no number.
    virtual int GetInt(std::string_view section, std::string_view key, int defaultValue) const = 0;

    // Stores the number, best effort: the values are written at exit, where nothing could act on a
    // failure, so a store that cannot be written loses them silently.
    virtual void WriteInt(std::string_view section, std::string_view key, int value) = 0;

    // The stored text, or defaultValue when the key is missing; a stored number reads as its digits.
    virtual std::string GetText(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const = 0;
    // Stores the text, best effort as WriteInt.
    virtual void WriteText(std::string_view section, std::string_view key, std::string_view value) = 0;
    // Drops every key of the section.
    virtual void RemoveSection(std::string_view section) = 0;
};

}  // namespace tessaly
