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

bool DeviceOperation::Run(OperationMask operation, Unit& unit) {
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
    }
    return !abandoned_;
}

bool DeviceOperation::SetUp(OperationMask operation, Unit& unit) {
    if (unit.dataImage == nullptr || unit.programMask == nullptr || unit.start > unit.end) {
        return false;
    }
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
}

void DeviceOperation::RunChunk(Step step) {
    // A stop ends the operation here even when the plug-in keeps answering.
    if (stop_.stop_requested()) {
        abandoned_ = true;
        return;
    }
    if (mask_[offset_] == 0) {
        offset_ += ZeroMaskRun();
        return;
    }
    TransferChunk(step, ChunkLength());
}

std::uint32_t DeviceOperation::ChunkLength() const {
    const std::uint32_t remaining = size_ - offset_;
    std::uint32_t chunk = std::min(blockSize_, remaining);
    chunk = std::min(chunk, blockSize_ - Address() % blockSize_);
    for (std::uint32_t i = 1; i < chunk; ++i) {
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

void DeviceOperation::TransferChunk(Step step, std::uint32_t chunk) {
    std::uint32_t done = 0;
    while (done < chunk) {
        const std::uint32_t wanted = chunk - done;
        const Attempt attempt = Transfer(step, wanted);
        done += attempt.advance;
        offset_ += attempt.advance;
        if (attempt.differs) {
            ReportDifference(block_[attempt.advance], target_[offset_]);
            abandoned_ = true;
            return;
        }
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
        return attempt;
    }
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
    for (std::uint32_t i = 0; i < attempt.moved; ++i) {
        if (((block_[i] ^ target_[offset_ + i]) & mask_[offset_ + i]) != 0) {
            attempt.advance = i;
            attempt.differs = true;
            break;
        }
    }
    return attempt;
}

bool DeviceOperation::AskRetry() {
    const std::string text =
        std::string(GetMessageText(msg::kAskRetryDeviceAccess)) + "\n[0x" + Hex(Address()) + "]";
    return owner_.AskRetryAccess(text, stop_);
}

void DeviceOperation::ReportDifference(std::uint8_t chip, std::uint8_t expected) {
    const std::string text = std::string(GetMessageText(msg::kWrongValue)) + " (0x" + Hex(chip) + " <> 0x" +
                             Hex(expected) + ") " + GetMessageText(msg::kAtLocation) + " 0x" +
                             Hex(Address()) + "\n" + GetMessageText(msg::kOperationSkipped);
    owner_.ReportDifference(text, stop_);
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
