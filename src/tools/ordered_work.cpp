#include "tools/ordered_work.h"

namespace nimbrel::tool {

unsigned DefaultJobs() {
    return std::max(1u, std::thread::hardware_concurrency());
}

} // namespace nimbrel::tool
