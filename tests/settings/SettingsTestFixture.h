#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>

#include "MemoryProfileStore.h"
#include "TestFiles.h"
#include "settings/AppSettings.h"

namespace tessaly::test {

// Runs each test in a fresh working directory, with an empty profile store and a record as it is before
// start-up (all zero). The program is called "tessaly", so the settings file is tessaly.ini.
class SettingsTest : public ::testing::Test {
  protected:
    static constexpr std::string_view kExecutable = "tessaly";

    std::filesystem::path IniPath() const { return directory_.Path() / "tessaly.ini"; }
    void WriteIni(std::string_view contents) const { directory_.Write("tessaly.ini", contents); }
    std::string ReadIni() const { return ReadBytes(IniPath()); }

    bool Load() { return LoadSettings(settings_, store_, kExecutable); }
    bool Save() { return SaveSettings(settings_, store_, kExecutable); }

    TempDirectory directory_;
    ScopedWorkingDirectory inside_{directory_.Path()};
    MemoryProfileStore store_;
    AppSettings settings_;
};

}  // namespace tessaly::test
