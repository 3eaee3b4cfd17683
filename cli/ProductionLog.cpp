#include "cli/ProductionLog.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>

namespace tessaly {
namespace {

constexpr const char* kHeader = "time,template,unit,plugin,port,command,result,counter,backup\n";

// A field quoted when it holds a comma, a quote or a line break.
std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (char c : text) {
        quoted += c == '"' ? "\"\"" : std::string(1, c);
    }
    return quoted + "\"";
}

// Local time as 2026-01-31T14:05:09+01:00.
std::string IsoTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[40];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S%z", &local);
    std::string iso = text;
    iso.insert(iso.size() - 2, ":");
    return iso;
}

std::string Record(const CommandLine& line, const Unit& unit, const DeviceRun& run,
                   const std::string& counter) {
    std::error_code error;
    const std::filesystem::path path = std::filesystem::absolute(line.templatePath, error);
    const std::string fields[] = {IsoTime(),    path.string(), unit.name, line.plugin, line.port,
                                  line.command, run.result,    counter,   run.backup};
    std::string record;
    for (const std::string& field : fields) {
        record += (record.empty() ? "" : ",") + CsvField(field);
    }
    return record + "\n";
}

bool Append(const std::string& path, std::string record) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        return false;
    }
    struct stat status {};
    if (::fstat(fd, &status) == 0 && status.st_size == 0) {
        record = kHeader + record;
    }
    const bool written = ::write(fd, record.data(), record.size()) == static_cast<ssize_t>(record.size());
    return ::close(fd) == 0 && written;
}

}  // namespace

CliResult LogDeviceRun(const CommandLine& line, const Unit& unit, const DeviceRun& run,
                       const std::string& counter, CliResult result) {
    if (line.log.empty() || Append(line.log, Record(line, unit, run, counter)) || !result) {
        return result;
    }
    return CliResult::Error("cannot append to the log " + line.log);
}

}  // namespace tessaly
