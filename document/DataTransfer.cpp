#include "document/DataTransfer.h"

#include "document/DataFile.h"
#include "document/FileStream.h"
#include "document/RecordFile.h"
#include "text/MessageFormat.h"
#include "text/MessageId.h"
#include "text/MessageTable.h"
#include "text/ReadFileBounded.h"
#include "text/WriteFileAtomically.h"

namespace tessaly {
bool ExportUnit(const Unit& unit, ByteStream& file) {
    const Unit* units[] = {&unit};
    return WriteDataFile(file, units, 1, unit.name);
}

bool ExportUnitToFile(const Unit& unit, const std::string& path) {
    return ExportUnitToFile(unit, path, DataFormatOfPath(path));
}

bool ExportUnitToFile(const Unit& unit, const std::string& path, DataFormat format) {
    if (format != DataFormat::DataFile) {
        std::string contents;
        return WriteRecordFile(unit, format, contents) && WriteFileAtomically(path, contents);
    }
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
    return ImportUnitFromFile(unit, path, DataFormatOfPath(path), prompt);
}

bool ImportUnitFromFile(Unit& unit, const std::string& path, DataFormat format, Prompt& prompt) {
    if (format == DataFormat::DataFile) {
        FileStream file;
        return file.Open(path, FileStream::Mode::Read) && ImportUnit(unit, file, prompt);
    }
    const RecordFileResult result = ImportRecordFile(unit, path, format);
    if (!result) {
        prompt.ShowError(DescribeRecordFileError(result, unit, path));
    }
    return static_cast<bool>(result);
}

RecordFileResult ImportRecordFile(Unit& unit, const std::string& path, DataFormat format) {
    // One byte past the limit tells a file that is too large from one that just fits.
    std::string contents;
    if (ReadFileBounded(path, kLargestRecordFile + 1, contents) != ReadStatus::kRead ||
        contents.size() > kLargestRecordFile) {
        return {RecordFileError::Unreadable, 0, {}};
    }
    return ReadRecordFile(unit, contents, format);
}

}  // namespace tessaly
