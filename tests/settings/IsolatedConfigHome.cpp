// Points the user's configuration directory at a fresh temporary directory for the whole test program, so
// that QSettings never reads or writes the real user's settings. It must be in place before the first
// QSettings object, because Qt fixes the configuration path on first use.

#include <stdlib.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <system_error>

namespace tessaly::test {
namespace {

class IsolatedConfigHome : public ::testing::Environment {
  public:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "tessaly-config-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        directory_ = pattern;
        ASSERT_EQ(::setenv("XDG_CONFIG_HOME", directory_.c_str(), 1), 0);
    }

    void TearDown() override {
        std::error_code error;
        std::filesystem::remove_all(directory_, error);
    }

  private:
    std::filesystem::path directory_;
};

[[maybe_unused]] ::testing::Environment* const kIsolatedConfigHome =
    ::testing::AddGlobalTestEnvironment(new IsolatedConfigHome);

}  // namespace
}  // namespace tessaly::test
