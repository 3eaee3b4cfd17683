#include "cli/DesktopMemoryInit.h"

#include "settings/AppSettings.h"
#include "settings/ProfileValues.h"
#include "settings/QSettingsProfileStore.h"

namespace tessaly {

std::uint8_t DesktopMemoryInit() {
    const QSettingsProfileStore store;
    AppSettings settings;
    ReadProfileValues(store, settings);
    return settings.memoryInit;
}

}  // namespace tessaly
