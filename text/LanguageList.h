#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "text/MessageTable.h"

namespace tessaly {

// One language: the built-in English (entry 0, no file) or a language file of directory. name is what the
// settings store and SetLanguage takes, displayName what a language menu shows. A file whose "Language"
// key does not give both names has hasNames false; such an entry is listed but never selectable or found.
struct LanguageEntry {
    std::string fileName;
    std::string name;
    std::string displayName;
    bool hasNames = false;
    std::filesystem::path directory;
};

// The languages found in a list of directories, and the switch between them, which rewrites a MessageTable.
// Names compare byte for byte, case significant. Used by one thread only (the user-interface thread);
// the table it writes may be read by any thread (see MessageTable).
class LanguageList {
  public:
    // Maximum size of a value read from a language file, including the terminating zero: at most one byte
    // less is used.
    static constexpr std::size_t kValueBufferSize = 128;

    explicit LanguageList(MessageTable& table);

    // Creates the table's arena with the built-in texts and lists entry 0 and then, directory by directory
    // in the order given, every regular file whose name ends in ".lng" (in any case), sorted by name within
    // its directory. A file name listed from an earlier directory is not listed again, so the first
    // directory that holds a file wins. The list is fixed until the next Load or Free: files added later
    // are not seen.
    void Load(const std::vector<std::filesystem::path>& directories);

    // Makes the named language current, rewriting every message from the file or, where the file has no
    // text, from the built-in English. Entry 0 restores the built-in texts. False, with the table
    // unchanged, when no entry has that name.
    bool SetLanguage(std::string_view name);

    // Index of the first entry with that name or display name, or -1.
    int Find(std::string_view name) const;
    int FindByDisplayName(std::string_view displayName) const;

    // Replaces name with the name of the entry showing displayName; false, with name unchanged, if none.
    bool GetLanguageName(std::string_view displayName, std::string& name) const;

    // Empties the list and destroys the table's arena; see MessageTable::Free.
    void Free();

    std::size_t Count() const { return entries_.size(); }

    // Entry index, or null for an index of Count() or more.
    const LanguageEntry* Entry(std::size_t index) const;

  private:
    bool IsListed(std::string_view fileName) const;
    void ReadMessages(const LanguageEntry& entry);

    MessageTable& table_;
    std::vector<LanguageEntry> entries_;
};

// The process's languages, writing the process table (ProcessMessageTable). Call on the user-interface
// thread only.

// Lists the language files of the directories, LanguageDirectories() for the desktop; see
// LanguageList::Load.
void LoadLanguageList(const std::vector<std::filesystem::path>& directories);
bool SetLanguage(std::string_view name);
int FindLanguage(std::string_view name);
int FindLanguageByDisplayName(std::string_view displayName);
bool GetLanguageName(std::string_view displayName, std::string& name);
// At program exit, after the worker thread has stopped: no message text may be in use.
void FreeLanguages();
std::size_t GetLanguageCount();
const LanguageEntry* GetLanguageEntry(std::size_t index);

}  // namespace tessaly
