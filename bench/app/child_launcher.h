#pragma once
// Runs programs from a small helper process made at the benchmark's start, so that a
// program's peak memory is its own. A child started straight from the benchmark (vfork,
// posix_spawn) counts the benchmark's own peak as its starting point: the kernel carries
// the high-water mark of the replaced memory over the exec.
#include <string>
#include <sys/types.h>

namespace nimbrel::bench {

struct ChildRun {
    double processorMs = 0; // user and system time of the program
    double wallMs = 0;      // from the request to the program's end
    double peakRssMb = 0;   // the program's largest resident size
};

class ChildLauncher {
public:
    // Forks the helper; call before the benchmark grows (first thing in main).
    ChildLauncher();
    ~ChildLauncher();
    ChildLauncher(const ChildLauncher&) = delete;
    ChildLauncher& operator=(const ChildLauncher&) = delete;

    // Runs `program` without arguments in `folder` with the caller's current environment,
    // to its end. Throws when it cannot start or does not end with status 0.
    ChildRun Run(const std::string& program, const std::string& folder);

private:
    pid_t helper_ = -1;
    int requests_ = -1; // to the helper
    int answers_ = -1;  // from the helper
};

} // namespace nimbrel::bench
