#pragma once

#include <string>

#include "document/ByteStream.h"
#include "document/DataFormat.h"
#include "document/RecordFile.h"
#include "engine/Unit.h"
#include "text/Prompt.h"

namespace tessaly {

// Export writes the unit as the one record of a data file. A partly written file is left in place.
bool ExportUnit(const Unit& unit, ByteStream& file);
// The file's format follows its name (DataFormatOfPath) unless given.
bool ExportUnitToFile(const Unit& unit, const std::string& path);
bool ExportUnitToFile(const Unit& unit, const std::string& path, DataFormat format);

// Import reads the unit's record of a data file into its data image. When the file names another unit the
// user is asked, and Yes takes the file's first record whatever its name. True when the record was looked
// for, so that the caller shows the image again whatever it now holds; false when the file was not usable
// or the user said No, with the image untouched.
bool ImportUnit(Unit& unit, ByteStream& file, Prompt& prompt);
// A file in one of the other formats gives its bytes by address: they are stored only when the whole file
// is sound and inside the unit, else the fault is shown as an error and the image is untouched.
bool ImportUnitFromFile(Unit& unit, const std::string& path, Prompt& prompt);
bool ImportUnitFromFile(Unit& unit, const std::string& path, DataFormat format, Prompt& prompt);
// The same for an Intel HEX, S-record or raw binary file, with the fault given back instead of shown.
RecordFileResult ImportRecordFile(Unit& unit, const std::string& path, DataFormat format);

}  // namespace tessaly
