#include "settings/QSettingsProfileStore.h"

#include <QString>
#include <QVariant>

#include <cstdint>
#include <string>

#include "settings/ParseInt.h"

namespace tessaly {

namespace {

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString SettingsKey(std::string_view section, std::string_view key) {
    return FromUtf8(section) + QLatin1Char('/') + FromUtf8(key);
}

}  // namespace

QSettingsProfileStore::QSettingsProfileStore()
    : settings_(QString::fromLatin1(kCompanyKey), QString::fromLatin1(kApplicationKey)) {}

int QSettingsProfileStore::GetInt(std::string_view section, std::string_view key, int defaultValue) const {
    const QVariant stored = settings_.value(SettingsKey(section, key));
    // A value that is no single text, such as a list written by hand ("1,2"), converts to "" and so
    // gives the default.
    const std::string text = stored.toString().toStdString();
    std::int32_t number = defaultValue;
    ParseInt(text, number);
    return number;
}

void QSettingsProfileStore::WriteInt(std::string_view section, std::string_view key, int value) {
    settings_.setValue(SettingsKey(section, key), value);
}

std::string QSettingsProfileStore::GetText(std::string_view section, std::string_view key,
                                           std::string_view defaultValue) const {
    const QVariant stored = settings_.value(SettingsKey(section, key));
    if (!stored.isValid()) {
        return std::string(defaultValue);
    }
    return stored.toString().toStdString();
}

void QSettingsProfileStore::WriteText(std::string_view section, std::string_view key,
                                      std::string_view value) {
    settings_.setValue(SettingsKey(section, key), FromUtf8(value));
}

void QSettingsProfileStore::RemoveSection(std::string_view section) {
    settings_.remove(FromUtf8(section));
}

}  // namespace tessaly
