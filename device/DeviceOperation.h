#pragma once

#include <cstdint>
#include <memory>
#include <stop_token>

#include "device/BackupFolder.h"
#include "device/DeviceWorkerOwner.h"
#include "device/OperationMask.h"
#include "device/ProgrammerPlugin.h"
#include "device/WorkerSettings.h"
#include "engine/Unit.h"
#include "text/MessageId.h"
#include "text/Prompt.h"

namespace tessaly {

// One Read, Program or Verify run over a unit's addresses start..end: a read-modify-write under the unit's
// program mask. Bits inside the mask belong to the template, bits outside it to the chip: Read merges the
// chip's bits into the unit's image inside the mask only; Program first reads the chip's bits outside the
// mask into a working copy of the image (prepare) and writes the copy back; Verify compares inside the
// mask only. Bytes whose mask is 0 are never transferred.
//
// The steps run in the order prepare, read, program, verify, each when its bit is in the operation mask.
// A step moves its bytes in chunks that never cross a multiple of the plug-in's block size (a plug-in
// that reports none, or 0, is used with 1) and end before a byte whose mask is 0. A failed or short
// transfer asks the owner whether to try again; No, a verify difference or a stop request abandon the
// operation, and nothing more is transferred. Verify compares complete reads only, so a failed or short
// verify read is asked about before anything is compared, and Yes reads all of it again. A difference is
// reported once the whole unit has been compared, with every item that differs.
//
// A Program with a backup folder reads every byte of the unit in its prepare step, whatever the mask,
// and saves those bytes as a backup before anything is written; a failed read of them is read again on
// Yes (never skipped), and one that is abandoned or cannot be saved (unless the owner says go on) ends the
// operation before any write. The program step leaves out each chunk whose masked bits the chip already
// holds, as the prepare step read them.
//
// Runs on the worker thread with the worker's lock held and the chip powered. It writes the unit's image
// in the read step and through PrepareDerivedFields only; Program and Verify work on a copy.
class DeviceOperation {
  public:
    DeviceOperation(const ProgrammerPlugin& plugin, DeviceWorkerOwner& owner, const WorkerSettings& settings,
                    std::stop_token stop);

    // True when every step ran to its end; false when the operation was abandoned (also before any step,
    // when the unit has no images or a buffer cannot be had).
    bool Run(OperationMask operation, Unit& unit, const BackupFolder* backup = nullptr);

  private:
    // Each step is named by the message number of its name.
    enum class Step : std::uint16_t {
        PrepareData = msg::kOperationPrepareData,
        Read = msg::kOperationRead,
        Program = msg::kOperationProgram,
        Verify = msg::kOperationVerify,
    };

    // The outcome of one transfer: the plug-in's status, the bytes it moved and how far the operation
    // advances.
    struct Attempt {
        PluginStatus status = kPluginOk;
        std::uint32_t moved = 0;
        std::uint32_t advance = 0;
    };

    bool SetUp(OperationMask operation, Unit& unit);
    void RunStep(Step step);
    void RunChunk(Step step);
    // A backup's prepare step reads every byte; the other steps skip the bytes without mask.
    bool ReadsEveryByte(Step step) const { return step == Step::PrepareData && backup_ != nullptr; }
    std::uint32_t ChunkLength(Step step) const;
    std::uint32_t ZeroMaskRun() const;
    // The chip, as the prepare step read it, already holds the chunk's masked bits.
    bool ChipHolds(std::uint32_t chunk) const;
    void SaveBackup();
    void TransferChunk(Step step, std::uint32_t chunk);
    Attempt Transfer(Step step, std::uint32_t length);
    // One read of length bytes into the block buffer, judged by the plug-in's answer alone.
    Attempt ReadBlock(std::uint32_t length);
    Attempt ReadAndMerge(Step step, std::uint32_t length);
    Attempt WriteUntilAccepted(std::uint32_t length);
    Attempt ReadAndCompare(std::uint32_t length);
    bool AskRetry();
    void ReportDifferences();
    std::uint32_t Address() const { return start_ + offset_; }

    const ProgrammerPlugin& plugin_;
    DeviceWorkerOwner& owner_;
    const WorkerSettings settings_;
    std::stop_token stop_;

    std::uint32_t start_ = 0;
    std::uint32_t size_ = 0;
    std::uint8_t* image_ = nullptr;
    const std::uint8_t* mask_ = nullptr;
    // The working copy (with the prepare bit), else null; target_ is the image the steps work on.
    std::unique_ptr<std::uint8_t[]> copy_;
    std::uint8_t* target_ = nullptr;
    // The chip's bytes as the prepare and verify steps read them, the target's bytes where unread.
    std::unique_ptr<std::uint8_t[]> chip_;
    bool chipKnown_ = false;
    std::unique_ptr<std::uint8_t[]> block_;
    std::uint32_t blockSize_ = 1;

    const Unit* unit_ = nullptr;
    const BackupFolder* backup_ = nullptr;
    std::uint32_t offset_ = 0;
    // The first difference verify found, by its offset; kNoAddress while there is none.
    std::uint32_t firstDifference_ = kNoAddress;
    bool abandoned_ = false;
};

// The notices after an operation that was not abandoned: "Program successfully complete" after a program
// with verify when confirmProgram is on, "Verify sucessfully complete" after a verify without program when
// confirmVerify is on.
void ShowCompletionNotices(OperationMask operation, const WorkerSettings& settings, DeviceWorkerOwner& owner,
                           std::stop_token stop);

// Shows the question an operation hands its owner through AskRetryAccess: a Yes/No box with the question
// icon under the application's title, Yes (trying the transfer again) the default button. True for Yes.
bool AskAccessErrorQuestion(Prompt& prompt, const std::string& text);

}  // namespace tessaly
