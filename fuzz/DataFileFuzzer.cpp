// Reads arbitrary bytes as a data file (a companion file or an exported .tdf) into units of several sizes,
// by name and by first record, and checks that nothing is written outside a unit's image.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "document/ByteStream.h"
#include "document/DataFile.h"
#include "engine/TemplateHeap.h"

namespace {

class BufferStream : public tessaly::ByteStream {
  public:
    BufferStream(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool Seek(std::uint64_t offset) override {
        position_ = offset;
        return true;
    }
    bool SeekEnd(std::uint64_t& position) override {
        position = position_ = size_;
        return true;
    }
    std::uint64_t Position() const override { return position_; }
    std::size_t Read(std::uint8_t* data, std::size_t size) override {
        if (position_ >= size_) {
            return 0;
        }
        const std::size_t count = std::min<std::size_t>(size, size_ - position_);
        std::memcpy(data, data_ + position_, count);
        position_ += count;
        return count;
    }
    std::size_t Write(const std::uint8_t*, std::size_t) override { return 0; }
    bool Truncate() override { return false; }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::uint64_t position_ = 0;
};

constexpr std::uint8_t kGuard = 0xC3;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    BufferStream file(data, size);
    tessaly::DataFile dataFile(file);
    if (!dataFile.ReadHeader()) {
        return 0;
    }
    const std::string current = dataFile.GetUnitName();
    if (current.size() > tessaly::kDataFileNameLength) {
        std::abort();
    }
    for (const std::uint32_t unitSize : {1u, 16u, 256u}) {
        for (const bool byName : {true, false}) {
            tessaly::TemplateHeap heap;
            tessaly::Unit unit;
            unit.Init(heap.CopyText(current), tessaly::BusKind::I2C8, 0, 0,
                      heap.NewArray<tessaly::TemplateItem*>(1), 1);
            unit.start = 0;
            unit.end = unitSize - 1;
            std::vector<std::uint8_t> image(unitSize + 1, kGuard);
            unit.dataImage = image.data();
            dataFile.SetMatchByName(byName);
            dataFile.ReadUnit(unit);
            if (image[unitSize] != kGuard) {
                std::abort();
            }
        }
    }
    return 0;
}
