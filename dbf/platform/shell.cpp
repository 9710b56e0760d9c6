#include "dbf/platform/shell.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace dbf::platform {

namespace {

// The XDG base-directory rules ignore relative paths, so do we.
std::optional<std::string> AbsoluteEnv(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || value[0] != '/') return std::nullopt;
    return std::string(value);
}

}  // namespace

std::optional<std::string> UserDataFolder() {
    if (auto xdg = AbsoluteEnv("XDG_DATA_HOME")) return xdg;
    if (auto home = AbsoluteEnv("HOME")) {
        std::string path = *home;
        if (path.back() != '/') path += '/';
        return path + ".local/share";
    }
    return std::nullopt;
}

std::string ExecutableFolder() {
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return ".";
    return exe.parent_path().string();
}

}  // namespace dbf::platform
