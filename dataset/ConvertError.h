// EConvertError: a text that cannot be converted to the number, date or time
// asked for (the platform's conversion error). Its text is one of the
// conversion messages of DataSetStr.h, filled with the offending text.
#pragma once

#include <stdexcept>
#include <string>

namespace ds {

class EConvertError : public std::runtime_error {
public:
    explicit EConvertError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace ds
