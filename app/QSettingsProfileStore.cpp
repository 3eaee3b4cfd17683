#include "app/QSettingsProfileStore.h"

#include <QString>
#include <QVariant>

#include <cstdint>
#include <string>

#include "app/ParseInt.h"

namespace tessaly {

namespace {

QString SettingsKey(std::string_view section, std::string_view key) {
    return QString::fromUtf8(section.data(), static_cast<qsizetype>(section.size())) + QLatin1Char('/') +
           QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()));
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

}  // namespace tessaly
