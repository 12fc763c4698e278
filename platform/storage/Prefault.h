#pragma once
// Maps the pages of a large, freshly allocated block in one call instead of
// one page fault per page as it is first written: opening a CHM file of
// tens of thousands of entries fills blocks of several megabytes, and on
// virtual machines a page fault costs many microseconds.

#include <cstddef>

namespace velmora::platform {

// Asks the kernel to map every whole page of [data, data + bytes) for
// writing, without changing its contents. Blocks under 64 KiB are left
// alone; where the kernel cannot do it (before Linux 5.14) nothing happens.
void PrefaultForWrite(const void* data, std::size_t bytes);

}  // namespace velmora::platform
