#include "ToolRunner.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

namespace dbftool_test {

namespace fs = std::filesystem;

namespace {

// The sanitizers report with exit statuses of their own, so that a report
// can never pass for the tool's own failure status 1.
constexpr const char* kSanitizerEnvironment =
    "ASAN_OPTIONS=exitcode=86 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1:exitcode=87";

std::string RandomName() {
    std::random_device device;
    std::mt19937_64 generator(device());
    std::ostringstream name;
    name << "dbftool-test-" << ::getpid() << "-" << std::hex << generator();
    return name.str();
}

}  // namespace

TempFolder::TempFolder() : FPath(fs::temp_directory_path() / RandomName()) { fs::create_directories(FPath); }

TempFolder::~TempFolder() {
    std::error_code ignored;
    fs::remove_all(FPath, ignored);
}

std::string Quote(const std::string& argument) {
    std::string quoted = "'";
    for (const char c : argument) {
        if (c == '\'') quoted += "'\\''";
        else quoted += c;
    }
    return quoted + "'";
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void WriteFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

RunResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                     const std::string* input, const std::string& environment, const std::string& folder) {
    TempFolder io;
    std::string command = folder.empty() ? std::string() : "cd " + Quote(folder) + " && ";
    command += std::string(kSanitizerEnvironment) + " " + environment + " " + Quote(program);
    for (const std::string& argument : arguments) command += " " + Quote(argument);
    if (input) {
        WriteFile(io.File("in"), *input);
        command += " < " + Quote(io.File("in"));
    } else {
        command += " < /dev/null";
    }
    command += " > " + Quote(io.File("out")) + " 2> " + Quote(io.File("err"));
    const int status = std::system(command.c_str());
    RunResult result;
    if (status != -1 && WIFEXITED(status)) result.ExitCode = WEXITSTATUS(status);
    else if (status != -1 && WIFSIGNALED(status)) result.ExitCode = 128 + WTERMSIG(status);
    result.Out = ReadFile(io.File("out"));
    result.Err = ReadFile(io.File("err"));
    return result;
}

// The tool runs as a user of a US English locale (ANSI code page 1252, OEM
// code page 437) unless a test asks for another one.
constexpr const char* kToolLocale = "LC_ALL=en_US.UTF-8";

RunResult RunTool(const std::vector<std::string>& arguments) {
    return RunProgram(DBFTOOL_PATH, arguments, nullptr, kToolLocale);
}

RunResult RunToolWithInput(const std::vector<std::string>& arguments, const std::string& input) {
    return RunProgram(DBFTOOL_PATH, arguments, &input, kToolLocale);
}

RunResult RunToolInFolder(const std::string& folder, const std::vector<std::string>& arguments) {
    return RunProgram(DBFTOOL_PATH, arguments, nullptr, kToolLocale, folder);
}

RunResult RunToolInLocale(const std::string& locale, const std::vector<std::string>& arguments) {
    return RunProgram(DBFTOOL_PATH, arguments, nullptr, "LC_ALL=" + Quote(locale));
}

RunResult RunPythonPeer(const std::string& script, const std::vector<std::string>& arguments) {
    std::vector<std::string> all{std::string(DBFTOOL_PEERS_DIR) + "/" + script};
    all.insert(all.end(), arguments.begin(), arguments.end());
    return RunProgram(DBFTOOL_PEER_PYTHON, all);
}

RunResult RunPerlPeer(const std::string& script, const std::vector<std::string>& arguments) {
    std::vector<std::string> all{std::string(DBFTOOL_PEERS_DIR) + "/" + script};
    all.insert(all.end(), arguments.begin(), arguments.end());
    return RunProgram(DBFTOOL_PEER_PERL, all);
}

std::vector<nlohmann::ordered_json> JsonLines(const std::string& text) {
    std::vector<nlohmann::ordered_json> values;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
        values.push_back(nlohmann::ordered_json::parse(line));
    }
    return values;
}

}  // namespace dbftool_test
