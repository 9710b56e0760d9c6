// TScratchFolder: a fresh folder under the system's temporary folder that
// lives as long as the object; the folder and everything in it are removed
// when the object dies. Benchmarks build their tables in one.
#pragma once

#include <string>

namespace bench {

class TScratchFolder {
public:
    TScratchFolder();
    ~TScratchFolder();
    TScratchFolder(const TScratchFolder&) = delete;
    TScratchFolder& operator=(const TScratchFolder&) = delete;

    // The folder path with its trailing "/".
    const std::string& Path() const { return FPath; }
    std::string File(const std::string& name) const { return FPath + name; }

private:
    std::string FPath;
};

}  // namespace bench
