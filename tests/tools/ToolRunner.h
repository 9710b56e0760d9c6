// Running dbftool and the peer scripts as separate processes, the way a user
// runs them: through a shell, with standard output and standard error caught
// in files of a temporary folder, and standard input fed from a file.
#pragma once

#include <nlohmann/json.hpp>

#include <filesystem>
#include <string>
#include <vector>

namespace dbftool_test {

// A folder under the system's temporary folder, removed with its content.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return FPath; }
    std::string File(const std::string& name) const { return (FPath / name).string(); }

private:
    std::filesystem::path FPath;
};

struct RunResult {
    int ExitCode = -1;       // the program's exit status; 128 + n when killed by signal n
    std::string Out;
    std::string Err;
};

// The argument quoted for the shell.
std::string Quote(const std::string& argument);

// Runs program with arguments (each quoted), stdin from the text when given.
// environment: assignments put before the program, e.g. "LC_ALL=C"; folder:
// the working folder, the test's own when empty.
RunResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                     const std::string* input = nullptr, const std::string& environment = {},
                     const std::string& folder = {});

RunResult RunTool(const std::vector<std::string>& arguments);
RunResult RunToolWithInput(const std::vector<std::string>& arguments, const std::string& input);
// In the working folder given.
RunResult RunToolInFolder(const std::string& folder, const std::vector<std::string>& arguments);
// With the engine's view of the user locale set, e.g. "ru_RU.UTF-8".
RunResult RunToolInLocale(const std::string& locale, const std::vector<std::string>& arguments);

// The peers of tests/tools/peers.
RunResult RunPythonPeer(const std::string& script, const std::vector<std::string>& arguments);
RunResult RunPerlPeer(const std::string& script, const std::vector<std::string>& arguments);

// One JSON value per non-empty line.
std::vector<nlohmann::ordered_json> JsonLines(const std::string& text);

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& content);

}  // namespace dbftool_test
