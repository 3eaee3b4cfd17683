// Runs the plug-in host against a plug-in that answers from the fuzzer's input: listing plug-ins, the
// wrappers for texts, ports, facilities and firmware, the driver dialogue, and Read, Program and Verify of
// a small unit whose mask leaves bits to the chip. The host must survive any answer without reading or
// writing outside its buffers, and every operation must end.

#include <dlfcn.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "device/DeviceOperation.h"
#include "device/DeviceWorkerOwner.h"
#include "device/PluginHost.h"
#include "device/ProgrammerPlugin.h"
#include "engine/MemoryInput.h"
#include "engine/ParseError.h"
#include "engine/ScriptCodec.h"
#include "engine/TemplateHeap.h"
#include "engine/TemplateParser.h"
#include "text/Prompt.h"

namespace {

using FeedFunction = void (*)(const std::uint8_t*, std::size_t);

constexpr const char* kPluginFile = "fuzzed-plugin.so";
// Questions answered Yes before the owner says No, so that an operation always ends.
constexpr int kRetriesAllowed = 4;

const char* const kTemplate =
    "[Fuzz, I2C8]\r\n"
    "Header = STATIC, 0-1, 54, 53\r\n"
    "Serial = NUM, 2-5, 0-FFFFFFFF, HEX\r\n"
    "Mode = ENUM, 6.0-6.1, A, B, C, D\r\n"
    "Flag = BIT, 6.4, Off, On\r\n"
    "Name = STRING, 8-F, ASCIIZ\r\n"
    "Check = CHECKSUM, 10, 2-F, ZEROS\r\n"
    "Copy = RELATIVE, 18, 2\r\n";

class AnsweringOwner : public tessaly::DeviceWorkerOwner {
  public:
    bool HasProgressDisplay() override { return true; }
    void SetProgressText(const std::string&) override {}
    void SetProgressRange(std::uint32_t, std::uint32_t) override {}
    void SetProgressPosition(std::uint32_t) override {}
    tessaly::DeviceState LastReportedState() override { return tessaly::DeviceState::NoPlugin; }
    void StoreState(tessaly::DeviceState) override {}
    void SetPluginText(const std::string&) override {}
    void SetFirmwareText(const std::string&) override {}
    void PostDeviceState(bool) override {}
    void OperationEnded(std::stop_token) override {}
    void ReadDone(std::stop_token) override {}
    bool AskRetryAccess(const std::string&, std::stop_token) override {
        return ++questions_ <= kRetriesAllowed;
    }
    void ReportDifference(const std::string&, const std::vector<tessaly::ItemDifference>&,
                          std::stop_token) override {}
    bool AskProgramWithoutBackup(const std::string&, std::stop_token) override { return false; }
    void BackupSaved(const std::string&) override {}
    void NotifyCompletion(const std::string&, std::stop_token) override {}

    void NewOperation() { questions_ = 0; }

  private:
    int questions_ = 0;
};

class AnsweringPrompt : public tessaly::Prompt {
  public:
    explicit AnsweringPrompt(bool yes) : yes_(yes) {}
    void ShowMessage(const std::string&, const std::string&, tessaly::PromptIcon) override {}
    bool AskYesNo(const std::string&, const std::string&, tessaly::PromptIcon,
                  tessaly::PromptAnswer) override {
        return yes_;
    }

  private:
    bool yes_;
};

// The unit every run programs, parsed once; each run starts from fresh images.
class FuzzUnit {
  public:
    FuzzUnit() : script_(tessaly::EncodeScript(kTemplate)), input_(script_, "fuzz.dev") {
        tessaly::TemplateParser parser(input_, heap_);
        parser.Run(nullptr);
        const bool parsed = parser.Error() == tessaly::ParseError::None && parser.Units()->count > 0;
        unit_ = parsed ? parser.Units()->GetAt(0) : nullptr;
        if (unit_ == nullptr) {
            std::abort();
        }
        data_.resize(unit_->ImageSize());
        mask_.resize(unit_->ImageSize());
    }

    tessaly::Unit& Fresh(std::uint8_t fill) {
        unit_->InitImages(fill, data_.data(), mask_.data());
        unit_->CheckCollisions();
        unit_->SetItemEnabled(2, (fill & 1u) != 0);
        unit_->UpdateProgramMask();
        return *unit_;
    }

  private:
    std::string script_;
    tessaly::MemoryInput input_;
    tessaly::TemplateHeap heap_;
    tessaly::Unit* unit_ = nullptr;
    std::vector<std::uint8_t> data_;
    std::vector<std::uint8_t> mask_;
};

struct Host {
    std::string directory = tessaly::ExecutableDirectory() + "/fuzzed-plugin";
    tessaly::ProgrammerPlugin plugin;
    FeedFunction feed = nullptr;
    FuzzUnit unit;

    Host() {
        if (!plugin.Load(kPluginFile, directory)) {
            std::abort();
        }
        // The plug-in is loaded already, so this only finds its handle.
        void* library = dlopen((directory + "/" + kPluginFile).c_str(), RTLD_NOW | RTLD_NOLOAD);
        feed = library != nullptr ? reinterpret_cast<FeedFunction>(dlsym(library, "FuzzedPlugin_Feed"))
                                  : nullptr;
        if (feed == nullptr) {
            std::abort();
        }
    }
};

void AskAboutThePlugin(Host& host) {
    std::string text;
    std::string list;
    tessaly::EnumeratePlugins(list, host.directory);
    host.plugin.GetDescription(text);
    host.plugin.GetVersion(text);
    std::string ports;
    host.plugin.EnumeratePorts(ports, 256);
    tessaly::SplitPortList(ports);
    std::uint32_t value = 0;
    host.plugin.IsDriverInstalled();
    host.plugin.HasIoDelayRange();
    host.plugin.GetIoDelayMin(value);
    host.plugin.GetIoDelayMax(value);
}

void RunSession(Host& host, std::uint8_t choices) {
    std::string firmware;
    host.plugin.GetFirmware(firmware, 64);
    host.plugin.IsHardwareIdentified();
    host.plugin.IsHardwarePlugged();
    host.plugin.SetPower(true);
    host.plugin.IsChipPresent();
    host.plugin.SetWideAddressing(false);
    host.plugin.SetIoDelay(1);

    const tessaly::WorkerSettings settings{1, 0, 0, 0, true, true};
    AnsweringOwner owner;
    const tessaly::OperationMask operations[] = {tessaly::operation::kReadCommand,
                                                 tessaly::operation::kProgramCommand,
                                                 tessaly::operation::kVerifyCommand};
    for (tessaly::OperationMask operation : operations) {
        owner.NewOperation();
        tessaly::DeviceOperation run(host.plugin, owner, settings, std::stop_token());
        if (run.Run(operation, host.unit.Fresh(choices))) {
            tessaly::ShowCompletionNotices(operation, settings, owner, std::stop_token());
        }
    }
    host.plugin.SetPower(false);
    host.plugin.Reset();
}

// With the input used up the plug-in answers success, so the session always closes.
void CloseSession(Host& host) {
    host.feed(nullptr, 0);
    if (host.plugin.IsAttached() && host.plugin.Detach() != tessaly::kPluginOk) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Host host;
    host.feed(data, size);
    const std::uint8_t choices = size > 0 ? data[size - 1] : 0;
    AskAboutThePlugin(host);
    AnsweringPrompt prompt((choices & 2u) != 0);
    tessaly::ManageDriver(&host.plugin, prompt);
    host.plugin.Attach("port");
    if (host.plugin.IsAttached()) {
        RunSession(host, choices);
    }
    CloseSession(host);
    return 0;
}
