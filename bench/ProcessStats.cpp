#include "bench/ProcessStats.h"

#include <fstream>
#include <string>

namespace bench {

namespace {

// The number after "key" on the first line of the /proc file that starts with it.
int64_t ProcValue(const char* path, const std::string& key) {
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (line.compare(0, key.size(), key) == 0) return std::stoll(line.substr(key.size()));
    }
    return 0;
}

}  // namespace

bool ResetPeakResident() {
    // Writing 5 to clear_refs resets VmHWM (Linux 4.0 and later).
    std::ofstream out("/proc/self/clear_refs");
    out << "5";
    out.flush();
    return out.good();
}

int64_t PeakResidentKiB() { return ProcValue("/proc/self/status", "VmHWM:"); }

int64_t ResidentKiB() { return ProcValue("/proc/self/status", "VmRSS:"); }

int64_t ReadCalls() { return ProcValue("/proc/self/io", "syscr:"); }

}  // namespace bench
