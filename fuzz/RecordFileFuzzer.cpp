// Reads arbitrary bytes as an Intel HEX, S-record and raw binary file into a unit at 0x80..0x8F, and checks
// that nothing is written outside its image and that a refused file leaves the image as it was.

#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "document/RecordFile.h"
#include "engine/TemplateHeap.h"

namespace {

constexpr std::uint8_t kGuard = 0xC3;
constexpr std::uint8_t kFill = 0x5A;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view contents(reinterpret_cast<const char*>(data), size);
    for (const tessaly::DataFormat format :
         {tessaly::DataFormat::IntelHex, tessaly::DataFormat::SRecord, tessaly::DataFormat::RawBinary}) {
        tessaly::TemplateHeap heap;
        tessaly::Unit unit;
        unit.Init(heap.CopyText("Fuzz"), tessaly::BusKind::I2C8, 0, 0,
                  heap.NewArray<tessaly::TemplateItem*>(1), 1);
        unit.start = 0x80;
        unit.end = 0x8F;
        std::vector<std::uint8_t> image(unit.ImageSize() + 2, kFill);
        image.front() = image.back() = kGuard;
        unit.dataImage = image.data() + 1;
        const tessaly::RecordFileResult result = tessaly::ReadRecordFile(unit, contents, format);
        if (image.front() != kGuard || image.back() != kGuard) {
            std::abort();
        }
        for (std::uint32_t i = 0; !result && i < unit.ImageSize(); ++i) {
            if (unit.dataImage[i] != kFill) {
                std::abort();
            }
        }
    }
    return 0;
}
