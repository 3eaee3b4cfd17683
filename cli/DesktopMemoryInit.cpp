#include "cli/DesktopMemoryInit.h"

#include "app/AppSettings.h"
#include "app/ProfileValues.h"
#include "app/QSettingsProfileStore.h"

namespace tessaly {

std::uint8_t DesktopMemoryInit() {
    const QSettingsProfileStore store;
    AppSettings settings;
    ReadProfileValues(store, settings);
    return settings.memoryInit;
}

}  // namespace tessaly
