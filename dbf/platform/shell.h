// Shell folders of the platform layer: the per-user application-data folder
// and the folder of the running executable. The trainer finds its data folder
// through these; nothing else asks the environment or /proc for them.
#pragma once

#include <optional>
#include <string>

namespace dbf::platform {

// The per-user application-data folder: $XDG_DATA_HOME, else $HOME/.local/share.
// Empty optional when neither variable names an absolute folder.
std::optional<std::string> UserDataFolder();

// The folder holding the running executable (from /proc/self/exe), without a
// trailing separator; "." when the link cannot be read.
std::string ExecutableFolder();

}  // namespace dbf::platform
