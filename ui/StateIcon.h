#pragma once

#include <QString>

#include "device/DeviceState.h"

namespace tessaly {

// The resource path of the small icon that shows a device state in the status bar. No plug-in and no
// driver share one icon; a value out of range gets that icon too.
QString StateIconPath(DeviceState state);

}  // namespace tessaly
