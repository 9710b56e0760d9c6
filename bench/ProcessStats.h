// What the kernel counts for this process, read from /proc/self: the peak
// resident set size (which can be reset, so a phase of a run can be measured
// on its own) and the number of read system calls made so far.
#pragma once

#include <cstdint>

namespace bench {

// Resets the peak resident size to the present one; false when the kernel
// does not allow it (then PeakResidentKiB reports the peak of the whole run).
bool ResetPeakResident();

// The peak resident set size (VmHWM) in KiB; 0 when it cannot be read.
int64_t PeakResidentKiB();

// The present resident set size (VmRSS) in KiB; 0 when it cannot be read.
int64_t ResidentKiB();

// The read system calls of this process so far (syscr); 0 when unknown.
int64_t ReadCalls();

}  // namespace bench
