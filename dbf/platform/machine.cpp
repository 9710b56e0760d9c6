#include "dbf/platform/machine.h"

#include <unistd.h>

#include <climits>
#include <ctime>

namespace dbf::platform {

std::string ComputerName(size_t maxLength) {
    char name[HOST_NAME_MAX + 1] = {};
    if (gethostname(name, sizeof(name) - 1) != 0) return std::string();
    std::string result(name);
    if (result.size() > maxLength) result.resize(maxLength);
    return result;
}

TLocalDateTime LocalDateTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local) == nullptr) return {};
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}

}  // namespace dbf::platform
