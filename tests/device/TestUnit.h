#pragma once

#include <cstdint>
#include <vector>

#include "engine/TemplateHeap.h"
#include "engine/Unit.h"

namespace tessaly::test {

// A unit over first..last without items, whose image and mask the test fills by hand.
class TestUnit {
  public:
    TestUnit(std::uint32_t first, std::uint32_t last, std::uint8_t fill = 0x00, std::uint8_t mask = 0xFF) {
        unit.Init(heap.CopyText("Test"), BusKind::I2C8, 0, 0, heap.NewArray<TemplateItem*>(1), 1);
        unit.start = first;
        unit.end = last;
        image.assign(unit.ImageSize(), fill);
        this->mask.assign(unit.ImageSize(), mask);
        unit.dataImage = image.data();
        unit.programMask = this->mask.data();
    }

    // The image and mask bytes of a device address.
    std::uint8_t& Image(std::uint32_t address) { return image[address - unit.start]; }
    std::uint8_t& Mask(std::uint32_t address) { return mask[address - unit.start]; }

    TemplateHeap heap;
    Unit unit;
    std::vector<std::uint8_t> image;
    std::vector<std::uint8_t> mask;
};

}  // namespace tessaly::test
