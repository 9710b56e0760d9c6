// Format: printf-style formatting into a std::string, the one formatting
// helper of the dataset layer and the engine. It is used with the message
// texts only, so every argument is a C string or a number.
#pragma once

#include <cstdio>
#include <string>

namespace ds {

template <typename... Args>
std::string Format(const char* pattern, Args... args) {
    const int size = std::snprintf(nullptr, 0, pattern, args...);
    if (size <= 0) return std::string(pattern);
    std::string result(static_cast<size_t>(size) + 1, '\0');
    std::snprintf(result.data(), result.size(), pattern, args...);
    result.resize(static_cast<size_t>(size));
    return result;
}

}  // namespace ds
