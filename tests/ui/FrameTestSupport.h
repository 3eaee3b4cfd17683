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

#include "app/AppSettings.h"
#include "engine/ScriptCodec.h"
#include "text/Prompt.h"

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

// The boxes the frame shows, recorded; a question runs the hook (if any) and answers with its result.
class FramePrompt : public Prompt {
  public:
    struct Box {
        std::string text;
        PromptIcon icon;
    };

    void ShowMessage(const std::string&, const std::string& text, PromptIcon icon) override {
        messages.push_back({text, icon});
    }
    bool AskYesNo(const std::string&, const std::string& text, PromptIcon icon, PromptAnswer) override {
        questions.push_back({text, icon});
        return onQuestion ? onQuestion() : false;
    }
    using Prompt::AskYesNo;

    std::vector<std::string> Texts(PromptIcon icon) const {
        std::vector<std::string> texts;
        for (const Box& box : messages) {
            if (box.icon == icon) {
                texts.push_back(box.text);
            }
        }
        return texts;
    }

    std::vector<Box> messages;
    std::vector<Box> questions;
    std::function<bool()> onQuestion;
};

}  // namespace tessaly::test
