// Feeds arbitrary bytes to the template parser, and checks that the plain-text form of any file encodes
// back to the same bytes.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/MemoryInput.h"
#include "engine/ScriptCodec.h"
#include "engine/TemplateHeap.h"
#include "engine/TemplateParser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string script(reinterpret_cast<const char*>(data), size);

    tessaly::TemplateHeap heap;
    tessaly::MemoryInput input(script, "fuzz.dev");
    tessaly::TemplateParser parser(input, heap);
    parser.Run(nullptr);
    std::string report;
    parser.FormatError(report);
    const tessaly::UnitList* units = parser.Units();
    for (std::uint32_t i = 0; i < units->count; ++i) {
        const tessaly::Unit* unit = units->GetAt(i);
        if (unit->itemCount > unit->itemCapacity) {
            std::abort();
        }
    }

    if (tessaly::EncodeScript(tessaly::DecodeScript(script)) != script) {
        std::abort();
    }
    return 0;
}
