#pragma once
// Memory the program is about to fill whole.
#include <cstddef>

namespace nimbrel::platform {

// Asks the system to provide the pages of [block, block + size), memory just allocated and
// about to be written from end to end, all at once and as large pages where it can, instead
// of one small page at each first touch. Only a request: the memory works the same without.
void ProvideBlockAtOnce(void* block, std::size_t size);

} // namespace nimbrel::platform
