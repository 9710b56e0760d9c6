// Crash consistency: a process killed with SIGKILL at a random moment while
// it appends records with memos leaves a table that opens, holds every
// record whose append had finished, and whose memos read back. The crash
// worker (crash_worker.cpp) appends and reports each finished append on a
// pipe; every round kills it after a random delay and checks the table.
#include "PagedFileTestSupport.h"

#include "dbf/table.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <map>
#include <poll.h>
#include <random>
#include <set>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

// The memo the worker writes for record id.
std::string ExpectedMemo(int id) {
    std::string text(static_cast<size_t>(int64_t{id} * 7919 % 1400 + 1), ' ');
    for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>('a' + (id + static_cast<int>(i)) % 26);
    return text;
}

// A crash worker started on the table, its standard output on a pipe.
class TCrashWorker {
public:
    TCrashWorker(const std::string& tablePath, int firstId) {
        int pipe[2];
        if (::pipe2(pipe, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipe[1], STDOUT_FILENO);
        const std::string first = std::to_string(firstId);
        char* argv[] = {const_cast<char*>(QUARZEL_CRASH_WORKER), const_cast<char*>(tablePath.c_str()),
                        const_cast<char*>(first.c_str()), nullptr};
        const int failed = posix_spawn(&FPid, argv[0], &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(pipe[1]);
        FOutput = pipe[0];
        if (failed != 0) {
            ::close(FOutput);
            throw std::runtime_error("cannot start the crash worker");
        }
    }
    ~TCrashWorker() {
        Kill();
        ::close(FOutput);
    }
    TCrashWorker(const TCrashWorker&) = delete;
    TCrashWorker& operator=(const TCrashWorker&) = delete;

    // Waits (bounded) until the worker has opened the table.
    bool WaitUntilReady() {
        while (FLines.empty()) {
            pollfd poll{FOutput, POLLIN, 0};
            if (::poll(&poll, 1, 60000) <= 0 || !ReadSome()) return false;
        }
        return FLines.front() == "ready";
    }

    // Kills the worker and answers the ids whose appends it reported finished.
    std::vector<int> KillAndCollect() {
        Kill();
        while (ReadSome()) {
        }
        std::vector<int> ids;
        for (size_t i = 1; i < FLines.size(); ++i) ids.push_back(std::stoi(FLines[i]));
        return ids;
    }

    // The worker's exit status, when it ended by itself rather than by the kill.
    int Status() const { return FStatus; }

private:
    void Kill() {
        if (FPid <= 0) return;
        ::kill(FPid, SIGKILL);
        ::waitpid(FPid, &FStatus, 0);
        FPid = -1;
    }

    // Reads what the pipe holds; a partial last line waits for the rest.
    bool ReadSome() {
        char chunk[4096];
        const ssize_t got = ::read(FOutput, chunk, sizeof chunk);
        if (got <= 0) return false;
        FPending.append(chunk, static_cast<size_t>(got));
        for (size_t end; (end = FPending.find('\n')) != std::string::npos; FPending.erase(0, end + 1))
            FLines.push_back(FPending.substr(0, end));
        return true;
    }

    pid_t FPid = -1;
    int FOutput = -1;
    int FStatus = 0;
    std::string FPending;
    std::vector<std::string> FLines;
};

class CrashConsistency : public ::testing::Test {
protected:
    CrashConsistency() {
        dbf::TTable table;
        table.SetTableName(TablePath());
        table.FieldDefs().Add("NAME", ds::ftString, 10);
        table.FieldDefs().Add("SIZE", ds::ftInteger, 0);
        table.FieldDefs().Add("TEXT", ds::ftMemo, 0);
        table.CreateTable();
    }

    std::string TablePath() const { return Folder.File("crash.dbf"); }

    // Opens the table as the next user would and answers, per id found, how
    // often it occurs; every record must be one the worker wrote in full.
    std::map<int, int> CheckTable() {
        dbf::TTable table;
        table.SetTableName(TablePath());
        table.Open();
        std::map<int, int> seen;
        for (table.First(); !table.Eof(); table.Next()) {
            const std::string name = table.FieldByName("NAME").AsString();
            EXPECT_EQ(name.substr(0, 1), "R") << "record " << table.PhysicalRecNo();
            if (name.size() < 2) continue;
            const int id = std::stoi(name.substr(1));
            const std::string memo = table.FieldByName("TEXT").AsString();
            EXPECT_EQ(table.FieldByName("SIZE").AsInteger(), static_cast<int>(memo.size())) << name;
            EXPECT_EQ(memo, ExpectedMemo(id)) << name;
            ++seen[id];
        }
        return seen;
    }

    ScratchFolder Folder;
};

TEST_F(CrashConsistency, EveryFinishedAppendSurvivesAKillAtARandomMoment) {
    constexpr int kRounds = 30;
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> delayMicroseconds(0, 30000);
    std::set<int> finished;
    for (int round = 0; round < kRounds; ++round) {
        TCrashWorker worker(TablePath(), round * 100000 + 1);
        ASSERT_TRUE(worker.WaitUntilReady()) << "round " << round;
        std::this_thread::sleep_for(std::chrono::microseconds(delayMicroseconds(random)));
        const std::vector<int> ids = worker.KillAndCollect();
        ASSERT_TRUE(WIFSIGNALED(worker.Status())) << "the worker ended by itself, round " << round;
        finished.insert(ids.begin(), ids.end());

        const std::map<int, int> seen = CheckTable();
        for (const auto& [id, count] : seen) EXPECT_EQ(count, 1) << "R" << id << " twice";
        for (int id : finished) EXPECT_TRUE(seen.count(id)) << "finished append R" << id << " lost, round " << round;
        if (HasFailure()) break;
    }
    RecordProperty("FinishedAppends", static_cast<int>(finished.size()));
    EXPECT_GT(finished.size(), 0u) << "no append finished before a kill";
}

}  // namespace
