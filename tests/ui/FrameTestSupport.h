#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QString>
#include <cstdlib>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "RecordingPrompt.h"
#include "engine/ScriptCodec.h"
#include "settings/AppSettings.h"

namespace tessaly::test {

inline constexpr char kSimulator[] = "tessaly-sim.so";

// The settings a first start gives, but with the chosen plug-in and port and a short power-up delay, so
// that the worker polls the simulator often.
inline AppSettings FrameSettings(const char* plugin = kSimulator, const char* port = "24C02") {
    AppSettings settings;
    settings.pluginName.Set(plugin);
    settings.portName.Set(port);
    settings.delayIO = 1;
    settings.delayPowerUp = 5;
    settings.pulsePGM = 50;
    settings.pulseFix = 1;
    settings.language.Set("English");
    settings.fontFace.Set("Courier New");
    settings.fontSize = 10;
    settings.mruSize = 8;
    settings.memoryInit = 0xFF;
    settings.options = kOptionListResize | kOptionEnableItemTips | kOptionEditOnError |
                       kOptionConfirmProgram | kOptionConfirmVerify;
    return settings;
}

// Writes a template given in plain text, encoded as template files are stored.
inline bool WriteTemplate(const QString& path, std::string_view plain) {
    QFile file(path);
    const std::string encoded = EncodeScript(plain);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(encoded.data(), static_cast<qint64>(encoded.size())) ==
               static_cast<qint64>(encoded.size());
}

// The simulator reads its environment when a session is attached: change it only while no worker runs.
inline void SetSimulatorEnvironment(const QString& chipDirectory, const char* faults = nullptr) {
    qputenv("TESSALY_SIM_DIR", chipDirectory.toLocal8Bit());
    qputenv("TESSALY_SIM_TWR_US", "0");
    qunsetenv("TESSALY_SIM_BUS_KHZ");
    if (faults != nullptr) {
        qputenv("TESSALY_SIM_FAULTS", faults);
    } else {
        qunsetenv("TESSALY_SIM_FAULTS");
    }
}

}  // namespace tessaly::test
