// Facts about the machine from the platform layer: the computer's name, which
// the engine stores in record-lock information to tell users apart, and the
// local date and time that table headers and lock information are stamped with.
#pragma once

#include <string>

namespace dbf::platform {

// The host name (gethostname), cut to at most maxLength characters; empty when
// the system cannot tell it.
std::string ComputerName(size_t maxLength);

// The local calendar date and wall-clock time (localtime_r); month and day are
// 1-based, the year is the full year.
struct TLocalDateTime {
    int Year = 1970;
    int Month = 1;
    int Day = 1;
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
};
TLocalDateTime LocalDateTime();

}  // namespace dbf::platform
