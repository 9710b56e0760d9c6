// The failure of reading records from a text input: a value the reader cannot
// take (EInputError), and the failure of one input line, which carries the
// line's number so that callers can name it in their own words (ELineError,
// whose text is "line N: <reason>").
#pragma once

#include <stdexcept>
#include <string>

namespace records {

class EInputError : public std::runtime_error {
public:
    explicit EInputError(const std::string& message) : std::runtime_error(message) {}
};

class ELineError : public EInputError {
public:
    ELineError(long lineNo, const std::string& reason)
        : EInputError("line " + std::to_string(lineNo) + ": " + reason), FLineNo(lineNo), FReason(reason) {}

    long LineNo() const { return FLineNo; }
    const std::string& Reason() const { return FReason; }

private:
    long FLineNo;
    std::string FReason;
};

}  // namespace records
