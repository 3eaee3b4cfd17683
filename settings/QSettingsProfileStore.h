#pragma once

#include <QSettings>

#include "settings/ProfileStore.h"

namespace tessaly {

// The user's profile store: QSettings of organisation kCompanyKey and application kApplicationKey, in the
// user's configuration directory ($XDG_CONFIG_HOME/Halvorn/Tessaly.conf). A section is a QSettings
// group. Values are written when the store is destroyed.
class QSettingsProfileStore : public ProfileStore {
  public:
    static constexpr const char* kCompanyKey = "Halvorn";
    static constexpr const char* kApplicationKey = "Tessaly";

    QSettingsProfileStore();

    // A stored text counts as a number as ParseInt reads it; a value that is no text, or a text without a
    // number, gives defaultValue.
    int GetInt(std::string_view section, std::string_view key, int defaultValue) const override;
    void WriteInt(std::string_view section, std::string_view key, int value) override;
    // Texts are kept as UTF-8; bytes that are not valid UTF-8 do not survive the round trip.
    std::string GetText(std::string_view section, std::string_view key,
                        std::string_view defaultValue) const override;
    void WriteText(std::string_view section, std::string_view key, std::string_view value) override;
    void RemoveSection(std::string_view section) override;

  private:
    QSettings settings_;
};

}  // namespace tessaly
