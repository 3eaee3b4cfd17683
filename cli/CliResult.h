#pragma once

#include <string>
#include <utility>

namespace tessaly {

// The exit statuses scripts rely on.
enum class ExitStatus : int {
    Success = 0,
    DeviceFailed = 1,  // the device operation failed, was abandoned, or verify found a difference
    Error = 2,         // a usage, template, value or file error
};

// What a command, or a step of one, came to: success, or a status with the line that says what is wrong
// (several lines, one per fault, when a check finds more than one). An empty message means the reason has
// already been printed (a template's load report).
class CliResult {
  public:
    static CliResult Ok() { return CliResult(ExitStatus::Success, {}); }
    static CliResult Error(std::string message) { return CliResult(ExitStatus::Error, std::move(message)); }
    static CliResult DeviceFailed(std::string message) {
        return CliResult(ExitStatus::DeviceFailed, std::move(message));
    }

    bool IsOk() const { return status_ == ExitStatus::Success; }
    explicit operator bool() const { return IsOk(); }
    ExitStatus Status() const { return status_; }
    const std::string& Message() const { return message_; }

  private:
    CliResult(ExitStatus status, std::string message) : status_(status), message_(std::move(message)) {}

    ExitStatus status_;
    std::string message_;
};

}  // namespace tessaly
