// EDatabaseError: the failure of a dataset-level operation (a closed dataset,
// a read-only dataset, a dataset not in edit mode, ...). Its text is the fixed
// message, prefixed with "<name>: " when the component that raised it has a name.
#pragma once

#include <stdexcept>
#include <string>

namespace ds {

class EDatabaseError : public std::runtime_error {
public:
    explicit EDatabaseError(const std::string& message) : std::runtime_error(message) {}
};

// Raises EDatabaseError with "%s: %s" filled with componentName and message,
// or the plain message when the component has no name.
[[noreturn]] void DatabaseError(const std::string& message, const std::string& componentName = {});

}  // namespace ds
