// Helpers shared by the paged-file, memo-file and stream tests: a scratch
// folder removed with the test, whole-file byte access for checking what
// actually reached the disk, and a paged file opened on a path.
#pragma once

#include "dbf/paged_file.h"

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

class ScratchFolder {
public:
    ScratchFolder() {
        static std::atomic<int> counter{0};
        FPath = std::filesystem::temp_directory_path() /
                ("quarzel-pg-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::remove_all(FPath);
        std::filesystem::create_directories(FPath);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(FPath, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string File(const std::string& name) const { return (FPath / name).string(); }

private:
    std::filesystem::path FPath;
};

inline std::vector<uint8_t> FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A paged file over the file at path, opened in the given mode.
inline std::unique_ptr<dbf::TPagedFile> OpenOn(const std::string& path, dbf::TPagedFileMode mode,
                                              bool autoCreate = false) {
    auto file = std::make_unique<dbf::TPagedFile>();
    file->SetFileName(path);
    file->SetMode(mode);
    file->SetAutoCreate(autoCreate);
    file->OpenFile();
    return file;
}
