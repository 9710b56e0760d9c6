// Helpers of the multi-process tests: a child process spoken to over its
// stdin and stdout, the table worker built with the tests, and a table file
// made in the test for the workers to share.
//
// Contract:
// - TChildProcess starts argv[0] with posix_spawn, its stdin and stdout on
//   pipes (stderr stays the test's). ReadLine waits for one line at most
//   kReplyTimeout and fails the test instead of hanging. The destructor
//   closes stdin, which ends a well-behaved child, and reaps it; a child that
//   is still alive after kExitTimeout is killed by its own process id.
// - TTableWorkerProcess::Ask sends one protocol command and returns its reply.
#pragma once

#include "MultiProcessTableScript.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

class TChildProcess {
public:
    static constexpr std::chrono::seconds kReplyTimeout{120};
    static constexpr std::chrono::seconds kExitTimeout{10};

    explicit TChildProcess(const std::vector<std::string>& argv) {
        int toChild[2] = {-1, -1};
        int fromChild[2] = {-1, -1};
        // Close-on-exec, so no later child keeps this one's input open.
        if (pipe2(toChild, O_CLOEXEC) != 0 || pipe2(fromChild, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
        // A child that dies early must fail the test, not kill it with SIGPIPE.
        std::signal(SIGPIPE, SIG_IGN);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, toChild[0], STDIN_FILENO);
        posix_spawn_file_actions_adddup2(&actions, fromChild[1], STDOUT_FILENO);
        std::vector<char*> args;
        for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        const int failed = posix_spawn(&FPid, args[0], &actions, nullptr, args.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(toChild[0]);
        ::close(fromChild[1]);
        FToChild = toChild[1];
        FFromChild = fromChild[0];
        if (failed != 0) {
            FPid = -1;
            throw std::runtime_error("cannot start " + argv[0]);
        }
    }

    TChildProcess(const TChildProcess&) = delete;
    TChildProcess& operator=(const TChildProcess&) = delete;

    ~TChildProcess() {
        CloseInput();
        if (FFromChild >= 0) ::close(FFromChild);
        if (FPid > 0) Reap();
    }

    void SendLine(const std::string& line) {
        const std::string text = line + "\n";
        size_t sent = 0;
        while (sent < text.size()) {
            const ssize_t n = ::write(FToChild, text.data() + sent, text.size() - sent);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) throw std::runtime_error("the child no longer reads");
            sent += static_cast<size_t>(n);
        }
    }

    // The next line without its line break; "<no reply>" when the child ended
    // or kept silent for kReplyTimeout.
    std::string ReadLine() {
        const auto deadline = std::chrono::steady_clock::now() + kReplyTimeout;
        while (FPending.find('\n') == std::string::npos) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0 || !ReadMore(static_cast<int>(left.count()))) {
                ADD_FAILURE() << "no reply from the child process";
                return "<no reply>";
            }
        }
        const size_t end = FPending.find('\n');
        std::string line = FPending.substr(0, end);
        FPending.erase(0, end + 1);
        return line;
    }

    void CloseInput() {
        if (FToChild >= 0) ::close(FToChild);
        FToChild = -1;
    }

    // Waits for the child to end and answers its exit status (-1 when killed).
    int Wait() {
        CloseInput();
        return Reap();
    }

private:
    bool ReadMore(int timeoutMs) {
        pollfd ready{FFromChild, POLLIN, 0};
        const int polled = ::poll(&ready, 1, timeoutMs);
        if (polled < 0 && errno == EINTR) return true;
        if (polled <= 0) return false;
        char chunk[4096];
        const ssize_t got = ::read(FFromChild, chunk, sizeof chunk);
        if (got <= 0) return false;
        FPending.append(chunk, static_cast<size_t>(got));
        return true;
    }

    int Reap() {
        const auto deadline = std::chrono::steady_clock::now() + kExitTimeout;
        int status = 0;
        while (::waitpid(FPid, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                ::kill(FPid, SIGKILL);
                ::waitpid(FPid, &status, 0);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        FPid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    pid_t FPid = -1;
    int FToChild = -1;
    int FFromChild = -1;
    std::string FPending;
};

class TTableWorkerProcess : public TChildProcess {
public:
    TTableWorkerProcess() : TChildProcess({QUARZEL_TABLE_WORKER}) {}

    std::string Ask(const std::string& command) {
        SendLine(command);
        return ReadLine();
    }
};
