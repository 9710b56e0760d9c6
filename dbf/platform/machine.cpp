#include "dbf/platform/machine.h"

#include <unistd.h>

#include <climits>

namespace dbf::platform {

std::string ComputerName(size_t maxLength) {
    char name[HOST_NAME_MAX + 1] = {};
    if (gethostname(name, sizeof(name) - 1) != 0) return std::string();
    std::string result(name);
    if (result.size() > maxLength) result.resize(maxLength);
    return result;
}

}  // namespace dbf::platform
