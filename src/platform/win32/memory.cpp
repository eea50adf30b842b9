#include "platform/memory.h"

namespace nimbrel::platform {

// Large pages need a privilege the program does not hold; the pages come at first touch.
void ProvideBlockAtOnce(void*, std::size_t) {}

} // namespace nimbrel::platform
