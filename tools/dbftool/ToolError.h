// The tool's own failures, apart from the engine's. A TToolError is a failure
// of the command (exit status 1, its text on standard error); a TUsageError is
// a command line the tool cannot take (exit status 2, the text and the usage).
#pragma once

#include <stdexcept>
#include <string>

namespace dbftool {

class TToolError : public std::runtime_error {
public:
    explicit TToolError(const std::string& message) : std::runtime_error(message) {}
};

class TUsageError : public std::runtime_error {
public:
    explicit TUsageError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace dbftool
