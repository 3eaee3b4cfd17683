#include "engine/TemplateHeap.h"

#include <unistd.h>

namespace tessaly {
namespace {

std::size_t PageSize() {
    const long size = sysconf(_SC_PAGESIZE);
    return size > 0 ? static_cast<std::size_t>(size) : 4096;
}

}  // namespace

TemplateHeap::TemplateHeap() : resource_(PageSize()) {}

void* TemplateHeap::Allocate(std::size_t bytes, std::size_t alignment) {
    return resource_.allocate(bytes == 0 ? 1 : bytes, alignment);
}

void* TemplateHeap::AllocateZeroed(std::size_t bytes, std::size_t alignment) {
    void* block = Allocate(bytes, alignment);
    std::memset(block, 0, bytes);
    return block;
}

char* TemplateHeap::CopyText(std::string_view text) {
    char* copy = static_cast<char*>(Allocate(text.size() + 1, 1));
    std::memcpy(copy, text.data(), text.size());
    copy[text.size()] = '\0';
    return copy;
}

}  // namespace tessaly
