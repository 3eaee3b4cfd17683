#include "FakeSystemTree.h"

#include <stdlib.h>

#include <fstream>
#include <stdexcept>
#include <string>
#include <system_error>

namespace tessaly::test {

FakeSystemTree::FakeSystemTree() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tessaly-i2c-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary directory");
    }
    root_ = pattern;
    std::filesystem::create_directories(root_ / "dev");
    std::filesystem::create_directories(root_ / "sys");
}

FakeSystemTree::~FakeSystemTree() {
    std::error_code error;
    std::filesystem::remove_all(root_, error);
}

void FakeSystemTree::AddAdapter(std::uint32_t number, std::string_view name) {
    const std::string file = "i2c-" + std::to_string(number);
    Write(std::filesystem::path("dev") / file, "");
    if (!name.empty()) {
        Write(std::filesystem::path("sys/class/i2c-dev") / file / "name", std::string(name) + "\n");
    }
}

void FakeSystemTree::Write(const std::filesystem::path& relative, std::string_view contents) const {
    const std::filesystem::path path = root_ / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

ScopedSystemRoots::ScopedSystemRoots(const SystemPaths& paths) {
    ::setenv("TESSALY_I2C_DEV_ROOT", paths.devRoot.c_str(), 1);
    ::setenv("TESSALY_I2C_SYS_ROOT", paths.sysRoot.c_str(), 1);
}

ScopedSystemRoots::~ScopedSystemRoots() {
    ::unsetenv("TESSALY_I2C_DEV_ROOT");
    ::unsetenv("TESSALY_I2C_SYS_ROOT");
}

}  // namespace tessaly::test
