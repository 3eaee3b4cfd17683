#include "document/DataTransfer.h"

#include "document/DataFile.h"
#include "document/FileStream.h"
#include "text/MessageFormat.h"
#include "text/MessageId.h"
#include "text/MessageTable.h"

namespace tessaly {

bool ExportUnit(const Unit& unit, ByteStream& file) {
    const Unit* units[] = {&unit};
    return WriteDataFile(file, units, 1, unit.name);
}

bool ExportUnitToFile(const Unit& unit, const std::string& path) {
    FileStream file;
    if (!file.Open(path, FileStream::Mode::Write)) {
        return false;
    }
    const bool written = ExportUnit(unit, file);
    return file.Close() && written;
}

bool ImportUnit(Unit& unit, ByteStream& file, Prompt& prompt) {
    DataFile data(file);
    if (!data.ReadHeader()) {
        return false;
    }
    const std::string nameInFile = data.GetUnitName();
    const std::string unitName = unit.name != nullptr ? unit.name : "";
    if (!SameStoredName(nameInFile, unitName)) {
        const std::string question =
            FormatMessage(GetMessageText(msg::kAskLoadOtherProfile), {nameInFile, unitName});
        if (!prompt.AskYesNo(question)) {
            return false;
        }
        data.SetMatchByName(false);
    }
    data.ReadUnit(unit);
    return true;
}

bool ImportUnitFromFile(Unit& unit, const std::string& path, Prompt& prompt) {
    FileStream file;
    return file.Open(path, FileStream::Mode::Read) && ImportUnit(unit, file, prompt);
}

}  // namespace tessaly
