// EAbort: the silent exception. It unwinds an operation like any failure, but
// the program's central error handling shows no message for it.
#pragma once

#include <exception>

namespace ds {

class EAbort : public std::exception {
public:
    const char* what() const noexcept override { return "Operation aborted"; }
};

[[noreturn]] inline void Abort() { throw EAbort(); }

}  // namespace ds
