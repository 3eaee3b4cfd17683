#include "text/LanguageList.h"

#include <algorithm>
#include <system_error>

#include "text/AsciiText.h"
#include "text/BuiltInMessage.h"
#include "text/ExtractField.h"
#include "text/ProfileFile.h"

namespace tessaly {

namespace {

constexpr std::string_view kBuiltInName = "English";
constexpr std::string_view kSection = "Language";
constexpr std::string_view kNamesKey = "Language";
constexpr std::string_view kExtension = ".lng";

bool IsLanguageFileName(std::string_view name) {
    return name.size() >= kExtension.size() &&
           EqualsIgnoreCase(name.substr(name.size() - kExtension.size()), kExtension);
}

// A directory that cannot be listed, or an entry that cannot be examined, simply yields fewer files.
std::vector<std::string> ListLanguageFiles(const std::filesystem::path& directory) {
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator it(directory, error), end; !error && it != end;
         it.increment(error)) {
        std::error_code typeError;
        const std::string name = it->path().filename().string();
        if (IsLanguageFileName(name) && it->is_regular_file(typeError)) {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

LanguageEntry BuiltInEntry() {
    return {{}, std::string(kBuiltInName), std::string(kBuiltInName), true, {}};
}

LanguageEntry ReadEntry(const std::filesystem::path& directory, const std::string& fileName) {
    LanguageEntry entry{fileName, {}, {}, false, directory};
    const std::string names =
        ReadProfileString(directory / fileName, kSection, kNamesKey, "", LanguageList::kValueBufferSize);
    if (ExtractField(names, ',', 1, entry.displayName)) {
        ExtractField(names, ',', 0, entry.name);
        entry.hasNames = true;
    }
    return entry;
}

LanguageList& ProcessLanguages() {
    static LanguageList languages(ProcessMessageTable());
    return languages;
}

}  // namespace

LanguageList::LanguageList(MessageTable& table) : table_(table) {}

void LanguageList::Load(const std::vector<std::filesystem::path>& directories) {
    table_.Create();
    entries_.clear();
    entries_.push_back(BuiltInEntry());
    for (const std::filesystem::path& directory : directories) {
        for (const std::string& fileName : ListLanguageFiles(directory)) {
            if (!IsListed(fileName)) {
                entries_.push_back(ReadEntry(directory, fileName));
            }
        }
    }
}

bool LanguageList::IsListed(std::string_view fileName) const {
    return std::any_of(entries_.begin(), entries_.end(),
                       [fileName](const LanguageEntry& entry) { return entry.fileName == fileName; });
}

bool LanguageList::SetLanguage(std::string_view name) {
    const int index = Find(name);
    if (index < 0) {
        return false;
    }
    if (index == 0) {
        table_.Reset();
    } else {
        ReadMessages(entries_[static_cast<std::size_t>(index)]);
    }
    return true;
}

// A file that has gone or cannot be read gives every message its built-in text.
void LanguageList::ReadMessages(const LanguageEntry& entry) {
    ProfileFile file;
    file.Load(entry.directory / entry.fileName);
    for (std::uint16_t index = 0; index < kMessageCount; ++index) {
        const std::string text = file.GetString(kSection, FormatMessageKey(index),
                                                kBuiltInMessages[index].english, kValueBufferSize);
        table_.Store(index, UnescapeText(text));
    }
}

int LanguageList::Find(std::string_view name) const {
    const auto it = std::find_if(entries_.begin(), entries_.end(), [name](const LanguageEntry& entry) {
        return entry.hasNames && entry.name == name;
    });
    return it == entries_.end() ? -1 : static_cast<int>(it - entries_.begin());
}

int LanguageList::FindByDisplayName(std::string_view displayName) const {
    const auto it = std::find_if(entries_.begin(), entries_.end(), [displayName](const LanguageEntry& entry) {
        return entry.hasNames && entry.displayName == displayName;
    });
    return it == entries_.end() ? -1 : static_cast<int>(it - entries_.begin());
}

bool LanguageList::GetLanguageName(std::string_view displayName, std::string& name) const {
    const int index = FindByDisplayName(displayName);
    if (index < 0) {
        return false;
    }
    name = entries_[static_cast<std::size_t>(index)].name;
    return true;
}

void LanguageList::Free() {
    entries_.clear();
    table_.Free();
}

const LanguageEntry* LanguageList::Entry(std::size_t index) const {
    return index < entries_.size() ? &entries_[index] : nullptr;
}

void LoadLanguageList(const std::vector<std::filesystem::path>& directories) {
    ProcessLanguages().Load(directories);
}

bool SetLanguage(std::string_view name) {
    return ProcessLanguages().SetLanguage(name);
}

int FindLanguage(std::string_view name) {
    return ProcessLanguages().Find(name);
}

int FindLanguageByDisplayName(std::string_view displayName) {
    return ProcessLanguages().FindByDisplayName(displayName);
}

bool GetLanguageName(std::string_view displayName, std::string& name) {
    return ProcessLanguages().GetLanguageName(displayName, name);
}

void FreeLanguages() {
    ProcessLanguages().Free();
}

std::size_t GetLanguageCount() {
    return ProcessLanguages().Count();
}

const LanguageEntry* GetLanguageEntry(std::size_t index) {
    return ProcessLanguages().Entry(index);
}

}  // namespace tessaly
