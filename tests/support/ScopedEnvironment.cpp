#include "ScopedEnvironment.h"

#include <stdlib.h>

namespace tessaly::test {

ScopedEnvironment::~ScopedEnvironment() {
    // Last change first, so that a variable changed twice gets its original value back.
    for (auto entry = saved_.rbegin(); entry != saved_.rend(); ++entry) {
        const auto& [name, value] = *entry;
        if (value) {
            ::setenv(name.c_str(), value->c_str(), 1);
        } else {
            ::unsetenv(name.c_str());
        }
    }
}

void ScopedEnvironment::Set(const std::string& name, const std::string& value) {
    Remember(name);
    ::setenv(name.c_str(), value.c_str(), 1);
}

void ScopedEnvironment::Unset(const std::string& name) {
    Remember(name);
    ::unsetenv(name.c_str());
}

void ScopedEnvironment::Remember(const std::string& name) {
    const char* value = ::getenv(name.c_str());
    saved_.emplace_back(name, value == nullptr ? std::nullopt : std::optional<std::string>{value});
}

}  // namespace tessaly::test
