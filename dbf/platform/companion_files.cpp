#include "dbf/platform/companion_files.h"

#include "dbf/platform/files.h"

#include <algorithm>
#include <cctype>
#include <dirent.h>
#include <memory>

namespace dbf::platform {

namespace {

bool HasLowerCase(const std::string& text) {
    return std::any_of(text.begin(), text.end(), [](unsigned char c) { return std::islower(c) != 0; });
}

bool HasUpperCase(const std::string& text) {
    return std::any_of(text.begin(), text.end(), [](unsigned char c) { return std::isupper(c) != 0; });
}

std::string InCase(std::string text, bool upper) {
    for (char& c : text) c = static_cast<char>(upper ? std::toupper(static_cast<unsigned char>(c))
                                                     : std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

}  // namespace

std::string CompanionPath(const std::string& path, const std::string& extension) {
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    const std::string ownExtension = hasExtension ? path.substr(dot) : std::string();
    const bool upper = HasUpperCase(ownExtension) && !HasLowerCase(ownExtension);
    return (hasExtension ? path.substr(0, dot) : path) + InCase(extension, upper);
}

std::string FindCompanionFile(const std::string& path) {
    if (FileExists(path)) return path;
    const size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
    if (!dir) return path;
    std::string found;
    int matches = 0;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string candidate = entry->d_name;
        if (!EqualIgnoringCase(candidate, name)) continue;
        const std::string candidatePath = (slash == std::string::npos ? std::string() : folder) + candidate;
        if (!FileExists(candidatePath)) continue;
        found = candidatePath;
        ++matches;
    }
    return matches == 1 ? found : path;
}

}  // namespace dbf::platform
