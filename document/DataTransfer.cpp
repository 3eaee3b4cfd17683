#include "document/DataTransfer.h"

#include <filesystem>
#include <fstream>

#include "document/DataFile.h"
#include "document/FileStream.h"
#include "document/RecordFile.h"
#include "text/MessageFormat.h"
#include "text/MessageId.h"
#include "text/MessageTable.h"
#include "text/WriteFileAtomically.h"

namespace tessaly {
namespace {

// The whole file, unless it is larger than limit or cannot be read.
bool ReadWholeFile(const std::string& path, std::size_t limit, std::string& contents) {
    std::error_code error;
    std::ifstream file(path, std::ios::binary);
    if (!file || std::filesystem::is_directory(path, error)) {
        return false;
    }
    char buffer[4096];
    while (contents.size() <= limit && file.read(buffer, sizeof buffer).gcount() > 0) {
        contents.append(buffer, static_cast<std::size_t>(file.gcount()));
    }
    return !file.bad() && contents.size() <= limit;
}

}  // namespace

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
    std::string contents;
    if (!ReadWholeFile(path, kLargestRecordFile, contents)) {
        return {RecordFileError::Unreadable, 0, {}};
    }
    return ReadRecordFile(unit, contents, format);
}

}  // namespace tessaly
