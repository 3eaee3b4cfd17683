#pragma once

#include <cstddef>
#include <cstring>
#include <memory_resource>
#include <new>
#include <string_view>

namespace tessaly {

// The arena that holds every object of one loaded template. Nothing in it is freed singly: destroying the
// heap drops the whole model at once.
class TemplateHeap {
  public:
    TemplateHeap();
    TemplateHeap(const TemplateHeap&) = delete;
    TemplateHeap& operator=(const TemplateHeap&) = delete;

    void* Allocate(std::size_t bytes, std::size_t alignment = alignof(std::max_align_t));
    void* AllocateZeroed(std::size_t bytes, std::size_t alignment = alignof(std::max_align_t));

    // A NUL-terminated copy of text.
    char* CopyText(std::string_view text);

    template <class T>
    T* New() {
        return new (Allocate(sizeof(T), alignof(T))) T{};
    }

    template <class T>
    T* NewArray(std::size_t count) {
        return static_cast<T*>(AllocateZeroed(sizeof(T) * count, alignof(T)));
    }

  private:
    std::pmr::monotonic_buffer_resource resource_;
};

}  // namespace tessaly
