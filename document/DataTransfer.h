#pragma once

#include <string>

#include "document/ByteStream.h"
#include "engine/Unit.h"
#include "text/Prompt.h"

namespace tessaly {

// Export writes the unit as the one record of a data file. A partly written file is left in place.
bool ExportUnit(const Unit& unit, ByteStream& file);
bool ExportUnitToFile(const Unit& unit, const std::string& path);

// Import reads the unit's record of a data file into its data image. When the file names another unit the
// user is asked, and Yes takes the file's first record whatever its name. True when the record was looked
// for, so that the caller shows the image again whatever it now holds; false when the file was not usable
// or the user said No, with the image untouched.
bool ImportUnit(Unit& unit, ByteStream& file, Prompt& prompt);
bool ImportUnitFromFile(Unit& unit, const std::string& path, Prompt& prompt);

}  // namespace tessaly
