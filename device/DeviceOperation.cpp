#include "device/DeviceOperation.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "device/SleepUnlessStopped.h"
#include "text/MessageTable.h"

namespace tessaly {
namespace {

std::string Hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%X", static_cast<unsigned>(value));
    return text;
}

}  // namespace

DeviceOperation::DeviceOperation(const ProgrammerPlugin& plugin, DeviceWorkerOwner& owner,
                                 const WorkerSettings& settings, std::stop_token stop)
    : plugin_(plugin), owner_(owner), settings_(settings), stop_(std::move(stop)) {}

bool DeviceOperation::Run(OperationMask operation, Unit& unit, const BackupFolder* backup) {
    const bool programs =
        (operation & operation::kPrepareData) != 0 && (operation & operation::kProgram) != 0;
    backup_ = programs ? backup : nullptr;
    if (!SetUp(operation, unit)) {
        return false;
    }
    constexpr std::pair<OperationMask, Step> kSteps[] = {{operation::kPrepareData, Step::PrepareData},
                                                         {operation::kRead, Step::Read},
                                                         {operation::kProgram, Step::Program},
                                                         {operation::kVerify, Step::Verify}};
    for (const auto& [bit, step] : kSteps) {
        if ((operation & bit) != 0 && !abandoned_) {
            RunStep(step);
        }
        if (step == Step::PrepareData && backup_ != nullptr && !abandoned_) {
            SaveBackup();
        }
    }
    return !abandoned_;
}

bool DeviceOperation::SetUp(OperationMask operation, Unit& unit) {
    if (unit.dataImage == nullptr || unit.programMask == nullptr || unit.start > unit.end) {
        return false;
    }
    unit_ = &unit;
    start_ = unit.start;
    size_ = unit.ImageSize();
    image_ = unit.dataImage;
    mask_ = unit.programMask;
    target_ = image_;
    if ((operation & operation::kPrepareData) != 0) {
        copy_.reset(new (std::nothrow) std::uint8_t[size_]);
        if (copy_ == nullptr) {
            return false;
        }
        unit.PrepareDerivedFields();
        std::memcpy(copy_.get(), image_, size_);
        target_ = copy_.get();
    }
    chip_.reset(new (std::nothrow) std::uint8_t[size_]);
    if (chip_ == nullptr) {
        return false;
    }
    std::memcpy(chip_.get(), target_, size_);
    // Only the prepare step's read tells which chunks the chip already holds.
    chipKnown_ = (operation & operation::kPrepareData) != 0;
    std::uint32_t reported = 0;
    blockSize_ = plugin_.GetBlockSize(reported) == kPluginOk && reported != 0 ? reported : 1;
    // No chunk is longer than the unit, whatever block size the plug-in claims.
    block_.reset(new (std::nothrow) std::uint8_t[std::min(blockSize_, size_)]);
    return block_ != nullptr;
}

void DeviceOperation::RunStep(Step step) {
    owner_.SetProgressText(std::string(GetMessageText(static_cast<std::uint16_t>(step))) + "...");
    owner_.SetProgressRange(start_, start_ + size_ - 1);
    offset_ = 0;
    while (!abandoned_ && offset_ < size_) {
        RunChunk(step);
        owner_.SetProgressPosition(Address());
    }
    owner_.SetProgressPosition(Address());
    if (step == Step::Program && !abandoned_) {
        // The chip finishes its last write cycle before the verify reads it.
        SleepUnlessStopped(stop_, std::chrono::milliseconds(settings_.pulseFix));
    }
    if (step == Step::Verify && firstDifference_ != kNoAddress && !abandoned_) {
        ReportDifferences();
        abandoned_ = true;
    }
}

void DeviceOperation::RunChunk(Step step) {
    // A stop ends the operation here even when the plug-in keeps answering.
    if (stop_.stop_requested()) {
        abandoned_ = true;
        return;
    }
    if (mask_[offset_] == 0 && !ReadsEveryByte(step)) {
        offset_ += ZeroMaskRun();
        return;
    }
    const std::uint32_t chunk = ChunkLength(step);
    if (step == Step::Program && ChipHolds(chunk)) {
        offset_ += chunk;
        return;
    }
    TransferChunk(step, chunk);
}

std::uint32_t DeviceOperation::ChunkLength(Step step) const {
    const std::uint32_t remaining = size_ - offset_;
    std::uint32_t chunk = std::min(blockSize_, remaining);
    chunk = std::min(chunk, blockSize_ - Address() % blockSize_);
    for (std::uint32_t i = 1; i < chunk && !ReadsEveryByte(step); ++i) {
        if (mask_[offset_ + i] == 0) {
            return i;
        }
    }
    return chunk;
}

std::uint32_t DeviceOperation::ZeroMaskRun() const {
    std::uint32_t run = 0;
    while (offset_ + run < size_ && mask_[offset_ + run] == 0) {
        ++run;
    }
    return run;
}

bool DeviceOperation::ChipHolds(std::uint32_t chunk) const {
    if (!chipKnown_) {
        return false;
    }
    for (std::uint32_t i = offset_; i < offset_ + chunk; ++i) {
        if (((chip_[i] ^ target_[i]) & mask_[i]) != 0) {
            return false;
        }
    }
    return true;
}

void DeviceOperation::SaveBackup() {
    const BackupSave save =
        backup_->Save(unit_->name, {chip_.get(), size_}, std::chrono::system_clock::now());
    if (save.saved) {
        owner_.BackupSaved(save.path.string());
    } else if (!owner_.AskProgramWithoutBackup(
                   "The chip's backup could not be saved: " + save.reason + ". Program without a backup?",
                   stop_)) {
        abandoned_ = true;
    }
}

void DeviceOperation::TransferChunk(Step step, std::uint32_t chunk) {
    std::uint32_t done = 0;
    while (done < chunk) {
        const std::uint32_t wanted = chunk - done;
        const Attempt attempt = Transfer(step, wanted);
        done += attempt.advance;
        offset_ += attempt.advance;
        // Each attempt is judged by its own outcome: a failure, or fewer bytes than asked for.
        if (attempt.status != kPluginOk || attempt.moved < wanted) {
            if (!AskRetry()) {
                abandoned_ = true;
                return;
            }
        }
    }
}

DeviceOperation::Attempt DeviceOperation::Transfer(Step step, std::uint32_t length) {
    switch (step) {
        case Step::PrepareData:
        case Step::Read:
            return ReadAndMerge(step, length);
        case Step::Program:
            return WriteUntilAccepted(length);
        case Step::Verify:
            return ReadAndCompare(length);
    }
    return {};
}

DeviceOperation::Attempt DeviceOperation::ReadBlock(std::uint32_t length) {
    Attempt attempt;
    attempt.moved = length;
    attempt.status = plugin_.Read(Address(), block_.get(), attempt.moved);
    attempt.advance = attempt.moved;
    return attempt;
}

DeviceOperation::Attempt DeviceOperation::ReadAndMerge(Step step, std::uint32_t length) {
    Attempt attempt = ReadBlock(length);
    if (attempt.status != kPluginOk) {
        // A backup must hold what the chip holds, so its bytes are read again rather than left out.
        attempt.advance = ReadsEveryByte(step) ? 0 : attempt.advance;
        chipKnown_ = chipKnown_ && step != Step::PrepareData;
        return attempt;
    }
    std::memcpy(chip_.get() + offset_, block_.get(), attempt.moved);
    for (std::uint32_t i = 0; i < attempt.moved; ++i) {
        const std::uint8_t mask = mask_[offset_ + i];
        std::uint8_t& byte = target_[offset_ + i];
        // Read takes the template's bits from the chip; prepare takes the chip's own bits around them.
        const std::uint8_t taken = step == Step::Read ? mask : static_cast<std::uint8_t>(~mask);
        byte = static_cast<std::uint8_t>((block_[i] & taken) | (byte & ~taken));
    }
    return attempt;
}

DeviceOperation::Attempt DeviceOperation::WriteUntilAccepted(std::uint32_t length) {
    // A chip still busy with its previous write cycle refuses the write; it is repeated until accepted or
    // until pulsePGM has passed, and made at least once.
    const auto began = std::chrono::steady_clock::now();
    const auto limit = std::chrono::milliseconds(settings_.pulsePGM);
    Attempt attempt;
    do {
        attempt.moved = length;
        attempt.status = plugin_.Write(Address(), target_ + offset_, attempt.moved);
    } while ((attempt.status != kPluginOk || attempt.moved < length) && !stop_.stop_requested() &&
             std::chrono::steady_clock::now() - began < limit);
    attempt.advance = attempt.moved;
    return attempt;
}

DeviceOperation::Attempt DeviceOperation::ReadAndCompare(std::uint32_t length) {
    Attempt attempt = ReadBlock(length);
    // Only a complete read is compared. A failed or short one verifies none of its bytes: the access error
    // names the first of them and Yes reads them all again.
    if (attempt.status != kPluginOk || attempt.moved < length) {
        attempt.advance = 0;
        return attempt;
    }
    std::memcpy(chip_.get() + offset_, block_.get(), attempt.moved);
    for (std::uint32_t i = 0; i < attempt.moved && firstDifference_ == kNoAddress; ++i) {
        if (((block_[i] ^ target_[offset_ + i]) & mask_[offset_ + i]) != 0) {
            firstDifference_ = offset_ + i;
        }
    }
    return attempt;
}

bool DeviceOperation::AskRetry() {
    const std::string text =
        std::string(GetMessageText(msg::kAskRetryDeviceAccess)) + "\n[0x" + Hex(Address()) + "]";
    return owner_.AskRetryAccess(text, stop_);
}

void DeviceOperation::ReportDifferences() {
    const std::uint32_t at = firstDifference_;
    const std::string text = std::string(GetMessageText(msg::kWrongValue)) + " (0x" + Hex(chip_[at]) +
                             " <> 0x" + Hex(target_[at]) + ") " + GetMessageText(msg::kAtLocation) + " 0x" +
                             Hex(start_ + at) + "\n" + GetMessageText(msg::kOperationSkipped);
    Unit expected = *unit_;
    expected.dataImage = target_;
    owner_.ReportDifference(text, ListMaskedDifferences(expected, chip_.get(), target_), stop_);
}

void ShowCompletionNotices(OperationMask operation, const WorkerSettings& settings, DeviceWorkerOwner& owner,
                           std::stop_token stop) {
    const bool programs = (operation & operation::kProgram) != 0;
    const bool verifies = (operation & operation::kVerify) != 0;
    if (settings.confirmProgram && programs && verifies) {
        owner.NotifyCompletion(GetMessageText(msg::kProgramComplete), stop);
    }
    if (settings.confirmVerify && verifies && !programs) {
        owner.NotifyCompletion(GetMessageText(msg::kVerifyComplete), stop);
    }
}

bool AskAccessErrorQuestion(Prompt& prompt, const std::string& text) {
    return prompt.AskYesNo({}, text, PromptIcon::Question, PromptAnswer::Yes);
}

}  // namespace tessaly
