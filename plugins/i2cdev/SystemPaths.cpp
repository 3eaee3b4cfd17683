#include "plugins/i2cdev/SystemPaths.h"

#include <cstdlib>
#include <string>

namespace tessaly {
namespace {

std::filesystem::path FromVariable(const char* name, const char* fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? std::filesystem::path(value)
                                              : std::filesystem::path(fallback);
}

std::string AdapterFileName(std::uint32_t adapter) {
    return "i2c-" + std::to_string(adapter);
}

}  // namespace

SystemPaths SystemPaths::FromEnvironment() {
    return {FromVariable("TESSALY_I2C_DEV_ROOT", "/dev"), FromVariable("TESSALY_I2C_SYS_ROOT", "/sys")};
}

std::filesystem::path SystemPaths::DeviceFile(std::uint32_t adapter) const {
    return devRoot / AdapterFileName(adapter);
}

std::vector<std::filesystem::path> SystemPaths::NameFiles(std::uint32_t adapter) const {
    const std::string name = AdapterFileName(adapter);
    return {I2cDevClass() / name / "name", sysRoot / "bus" / "i2c" / "devices" / name / "name"};
}

std::filesystem::path SystemPaths::I2cDevClass() const {
    return sysRoot / "class" / "i2c-dev";
}

}  // namespace tessaly
