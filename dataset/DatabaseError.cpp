#include "dataset/DatabaseError.h"

namespace ds {

void DatabaseError(const std::string& message, const std::string& componentName) {
    if (componentName.empty()) throw EDatabaseError(message);
    throw EDatabaseError(componentName + ": " + message);
}

}  // namespace ds
