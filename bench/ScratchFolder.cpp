#include "bench/ScratchFolder.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <system_error>
#include <vector>

namespace bench {

TScratchFolder::TScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quarzel-bench-XXXXXX").string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (mkdtemp(name.data()) == nullptr) throw std::runtime_error("Cannot create a scratch folder: " + pattern);
    FPath = std::string(name.data()) + "/";
}

TScratchFolder::~TScratchFolder() {
    std::error_code ignored;  // a folder that cannot be removed is no reason to fail a run
    std::filesystem::remove_all(FPath, ignored);
}

}  // namespace bench
