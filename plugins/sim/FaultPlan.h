#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace tessaly {

// The failures a session is told to fake, from a comma-separated list such as
// "read=3,write=2-4,short=5:3,unplug=20,nochip":
//   read=N, read=N-M    PGM_Read calls N (to M), counted from 1 since attach, fail with nothing read;
//   write=N, write=N-M  the same for PGM_Write;
//   short=N:K           PGM_Read call N succeeds with only its first K bytes;
//   unplug=N            after N transfers (reads and writes) the programmer counts as unplugged;
//   nochip              no chip answers;
//   nodriver            the programmer's driver counts as not installed;
//   noid                the programmer hardware is not recognised.
// Entries may be repeated and are trimmed of blanks; an entry that does not read as one of these is
// ignored and the others still apply.
class FaultPlan {
  public:
    static FaultPlan Parse(std::string_view text);

    bool FailsRead(std::uint64_t call) const;
    bool FailsWrite(std::uint64_t call) const;
    // The byte count the read call is cut to, if it is.
    std::optional<std::uint32_t> ShortRead(std::uint64_t call) const;
    bool IsUnplugged(std::uint64_t transfersSoFar) const;

    bool NoChip() const { return noChip_; }
    bool NoDriver() const { return noDriver_; }
    bool NoId() const { return noId_; }

  private:
    struct CallRange {
        std::uint64_t first;
        std::uint64_t last;
    };
    struct ShortCall {
        std::uint64_t call;
        std::uint32_t bytes;
    };

    void AddEntry(std::string_view entry);
    static std::optional<CallRange> ParseCalls(std::string_view text);
    static std::optional<ShortCall> ParseShortCall(std::string_view text);
    static bool Contains(const std::vector<CallRange>& ranges, std::uint64_t call);

    std::vector<CallRange> readFailures_;
    std::vector<CallRange> writeFailures_;
    std::vector<ShortCall> shortReads_;
    std::optional<std::uint64_t> unplugAfter_;
    bool noChip_ = false;
    bool noDriver_ = false;
    bool noId_ = false;
};

}  // namespace tessaly
