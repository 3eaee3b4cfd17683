#include "plugins/i2cdev/AdapterDiscovery.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <system_error>

#include "plugins/i2cdev/AdapterName.h"
#include "plugins/i2cdev/PortName.h"

namespace tessaly {
namespace {

// The N of a file name "i2c-N" when N is written as a port name writes it (so "i2c-01" is not an
// adapter) and fits into one.
std::optional<std::uint32_t> AdapterNumber(std::string_view fileName) {
    const std::optional<PortName> port = PortName::Parse(std::string(fileName) + ":50");
    if (!port || port->Format() != std::string(fileName) + ":50") {
        return std::nullopt;
    }
    return port->adapter;
}

std::vector<std::uint32_t> AdapterNumbers(const SystemPaths& paths) {
    std::vector<std::uint32_t> numbers;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(paths.devRoot, error), end; !error && entry != end;
         entry.increment(error)) {
        const std::optional<std::uint32_t> number = AdapterNumber(entry->path().filename().string());
        std::error_code typeError;
        if (number && !entry->is_directory(typeError)) {
            numbers.push_back(*number);
        }
    }
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    numbers.resize(std::min(numbers.size(), kMaxAdapters));
    return numbers;
}

}  // namespace

std::vector<AdapterInfo> FindAdapters(const SystemPaths& paths) {
    std::vector<AdapterInfo> adapters;
    for (const std::uint32_t number : AdapterNumbers(paths)) {
        adapters.push_back({number, ReadAdapterName(paths, number)});
    }
    return adapters;
}

bool IsI2cDevPresent(const SystemPaths& paths) {
    std::error_code error;
    return std::filesystem::is_directory(paths.I2cDevClass(), error) || !AdapterNumbers(paths).empty();
}

}  // namespace tessaly
