#include "device/PluginHost.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "text/AsciiText.h"
#include "text/MessageId.h"
#include "text/MessageTable.h"

namespace tessaly {
namespace {

constexpr std::string_view kPluginExtension = ".so";

bool HasPluginExtension(const std::string& fileName) {
    return fileName.size() > kPluginExtension.size() && fileName.ends_with(kPluginExtension);
}

// Where the first ".so" in text begins, in any letter case; npos when there is none.
std::size_t FindPluginExtension(std::string_view text) {
    for (std::size_t at = 0; at + kPluginExtension.size() <= text.size(); ++at) {
        if (EqualsIgnoreCase(text.substr(at, kPluginExtension.size()), kPluginExtension)) {
            return at;
        }
    }
    return std::string_view::npos;
}

// The names of the regular files (or links to them) matching "*.so" in directory, sorted.
std::vector<std::string> PluginFileNames(const std::string& directory) {
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(directory, error), last; !error && entry != last;
         entry.increment(error)) {
        std::string name = entry->path().filename().string();
        if (HasPluginExtension(name) && entry->is_regular_file(error)) {
            names.push_back(std::move(name));
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

int EnumeratePlugins(std::string& list, const std::string& directory) {
    list.clear();
    if (directory.empty()) {
        return 0;
    }
    int count = 0;
    for (const std::string& name : PluginFileNames(directory)) {
        ProgrammerPlugin plugin;
        std::string description;
        if (plugin.Load(name, directory) && plugin.GetDescription(description)) {
            list += name + "->" + description + "\n";
            ++count;
        }
    }
    return count;
}

std::string ExtractPluginFileName(std::string_view line) {
    const std::size_t first = line.find_first_not_of(" \t\r\n\f\v");
    const std::string_view text = first == std::string_view::npos ? std::string_view{} : line.substr(first);
    const std::size_t extension = FindPluginExtension(text);
    if (extension == std::string_view::npos || extension == 0) {
        return {};
    }
    return std::string(text.substr(0, extension + kPluginExtension.size()));
}

std::vector<std::string> SplitPortList(std::string_view ports) {
    std::vector<std::string> names;
    while (!ports.empty()) {
        const std::size_t end = std::min(ports.find('\0'), ports.size());
        if (end > 0) {
            names.emplace_back(ports.substr(0, end));
        }
        ports.remove_prefix(std::min(end + 1, ports.size()));
    }
    return names;
}

void ManageDriver(const ProgrammerPlugin* plugin, Prompt& prompt) {
    if (plugin == nullptr || !plugin->CanManageDriver()) {
        return;
    }
    const bool installed = plugin->IsDriverInstalled();
    const std::string caption = GetMessageText(installed ? msg::kDriverUninstalling : msg::kDriverInstalling);
    const char* question = GetMessageText(installed ? msg::kAskUninstallDriver : msg::kAskInstallDriver);
    if (!prompt.AskYesNo(caption, question, PromptIcon::Error, PromptAnswer::No)) {
        return;
    }
    const PluginStatus status = installed ? plugin->UninstallDriver() : plugin->InstallDriver();
    if (status != kPluginOk) {
        prompt.ShowMessage(caption, GetMessageText(msg::kOperationFailed), PromptIcon::Error);
    }
}

}  // namespace tessaly
