// Shared helpers of the dBASE engine: the engine's exception classes and the
// small formatting routine that fills the fixed message texts of dbf_str.h.
//
// Every engine failure is an EDbfError carrying one of those texts; a failed
// write is an EDbfWriteError, so callers can tell a full disk from a damaged file.
#pragma once

#include <cstdio>
#include <stdexcept>
#include <string>
#include <utility>

namespace dbf {

// The dialect of a table and its companion files. Only xBaseIII, xBaseIV,
// xFoxPro and xBaseVII are ever produced; the other values keep the numbering
// of the version recognition.
enum TXBaseVersion {
    xUnknown = 0,
    xClipper = 1,
    xBaseIII = 2,
    xBaseIV = 3,
    xBaseV = 4,
    xFoxPro = 5,
    xBaseVII = 6,
};

class EDbfError : public std::runtime_error {
public:
    explicit EDbfError(const std::string& message) : std::runtime_error(message) {}
};

class EDbfWriteError : public EDbfError {
public:
    explicit EDbfWriteError(const std::string& message) : EDbfError(message) {}
};

// printf-style formatting into a std::string; used with the message texts only.
template <typename... Args>
std::string Format(const char* pattern, Args&&... args) {
    const int size = std::snprintf(nullptr, 0, pattern, args...);
    if (size <= 0) return std::string(pattern);
    std::string result(static_cast<size_t>(size) + 1, '\0');
    std::snprintf(result.data(), result.size(), pattern, args...);
    result.resize(static_cast<size_t>(size));
    return result;
}

}  // namespace dbf
