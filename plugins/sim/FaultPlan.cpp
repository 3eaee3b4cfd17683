#include "plugins/sim/FaultPlan.h"

#include <algorithm>
#include <limits>

#include "plugins/sim/DecimalNumber.h"

namespace tessaly {

namespace {

std::string_view Trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// Splits "left<separator>right"; nothing when the separator is missing.
std::optional<std::pair<std::string_view, std::string_view>> Split(std::string_view text, char separator) {
    const std::size_t at = text.find(separator);
    if (at == std::string_view::npos) {
        return std::nullopt;
    }
    return std::pair{text.substr(0, at), text.substr(at + 1)};
}

}  // namespace

FaultPlan FaultPlan::Parse(std::string_view text) {
    FaultPlan plan;
    while (!text.empty()) {
        const std::size_t comma = std::min(text.find(','), text.size());
        plan.AddEntry(Trim(text.substr(0, comma)));
        text.remove_prefix(std::min(comma + 1, text.size()));
    }
    return plan;
}

bool FaultPlan::FailsRead(std::uint64_t call) const {
    return Contains(readFailures_, call);
}

bool FaultPlan::FailsWrite(std::uint64_t call) const {
    return Contains(writeFailures_, call);
}

std::optional<std::uint32_t> FaultPlan::ShortRead(std::uint64_t call) const {
    const auto found = std::ranges::find(shortReads_, call, &ShortCall::call);
    return found == shortReads_.end() ? std::nullopt : std::optional{found->bytes};
}

bool FaultPlan::IsUnplugged(std::uint64_t transfersSoFar) const {
    return unplugAfter_ && transfersSoFar >= *unplugAfter_;
}

void FaultPlan::AddEntry(std::string_view entry) {
    noChip_ = noChip_ || entry == "nochip";
    noDriver_ = noDriver_ || entry == "nodriver";
    noId_ = noId_ || entry == "noid";
    const auto keyValue = Split(entry, '=');
    if (!keyValue) {
        return;
    }
    const auto [key, value] = *keyValue;
    if (key == "read" || key == "write") {
        if (const auto calls = ParseCalls(value)) {
            (key == "read" ? readFailures_ : writeFailures_).push_back(*calls);
        }
    } else if (key == "short") {
        if (const auto shortCall = ParseShortCall(value)) {
            shortReads_.push_back(*shortCall);
        }
    } else if (key == "unplug") {
        if (const auto after = ParseDecimal(value)) {
            unplugAfter_ = std::min(*after, unplugAfter_.value_or(*after));
        }
    }
}

std::optional<FaultPlan::CallRange> FaultPlan::ParseCalls(std::string_view text) {
    const auto bounds = Split(text, '-');
    const auto first = ParseDecimal(bounds ? bounds->first : text);
    const auto last = bounds ? ParseDecimal(bounds->second) : first;
    if (!first || !last || *first == 0 || *last < *first) {
        return std::nullopt;
    }
    return CallRange{*first, *last};
}

std::optional<FaultPlan::ShortCall> FaultPlan::ParseShortCall(std::string_view text) {
    const auto callBytes = Split(text, ':');
    const auto call = callBytes ? ParseDecimal(callBytes->first) : std::nullopt;
    const auto bytes = callBytes ? ParseDecimal(callBytes->second) : std::nullopt;
    if (!call || *call == 0 || !bytes || *bytes > std::numeric_limits<std::uint32_t>::max()) {
        return std::nullopt;
    }
    return ShortCall{*call, static_cast<std::uint32_t>(*bytes)};
}

bool FaultPlan::Contains(const std::vector<CallRange>& ranges, std::uint64_t call) {
    return std::ranges::any_of(
        ranges, [call](const CallRange& range) { return call >= range.first && call <= range.last; });
}

}  // namespace tessaly
