// The table worker: a separate process that the multi-process tests start to
// act on a table beside them. It reads one command per line and answers each
// with one line (protocol in MultiProcessTableScript.h), so a test can hold a
// worker in any state, such as in the middle of an edit, for as long as it
// needs, without sleeping.
#include "MultiProcessTableScript.h"

#include "dbf/append_batch.h"
#include "dbf/table.h"
#include "dbf/platform/text.h"

#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <sched.h>
#include <sstream>
#include <stdexcept>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

class TTableWorker {
public:
    // One answered command; the reply line is "ok", "ok <value>" or "error <message>".
    std::string Run(const std::string& line) {
        std::istringstream words(line);
        std::string command;
        words >> command;
        std::string rest;
        std::getline(words >> std::ws, rest);
        const auto handler = Commands().find(command);
        if (handler == Commands().end()) return "error unknown command: " + command;
        try {
            const std::string value = handler->second(*this, rest);
            return value.empty() ? "ok" : "ok " + value;
        } catch (const std::exception& e) {
            return std::string("error ") + e.what();
        }
    }

private:
    using THandler = std::function<std::string(TTableWorker&, const std::string&)>;

    static const std::map<std::string, THandler>& Commands() {
        static const std::map<std::string, THandler> commands = {
            {"host", &TTableWorker::Host},     {"limit", &TTableWorker::Limit},
            {"open", &TTableWorker::Open},     {"edit", &TTableWorker::Edit},
            {"set", &TTableWorker::Set},       {"get", &TTableWorker::Get},
            {"post", &TTableWorker::Post},     {"cancel", &TTableWorker::Cancel},
            {"append", &TTableWorker::Append}, {"pack", &TTableWorker::Pack},
            {"empty", &TTableWorker::Empty},   {"close", &TTableWorker::Close},
            {"reopen", &TTableWorker::Reopen}, {"bulkappend", &TTableWorker::BulkAppend},
            {"watch", &TTableWorker::Watch},
        };
        return commands;
    }

    // The engine reads the computer name once, when the first table object
    // is made; a private UTS namespace gives this process a name of its own.
    std::string Host(const std::string& name) {
        if (FTable) throw std::runtime_error("host must come before open");
        const int flags = geteuid() == 0 ? CLONE_NEWUTS : CLONE_NEWUSER | CLONE_NEWUTS;
        if (unshare(flags) != 0 || sethostname(name.data(), name.size()) != 0)
            throw std::runtime_error(std::string("no private computer name: ") + std::strerror(errno));
        return {};
    }

    // A file-size limit makes every write beyond it fail as on a full disk.
    std::string Limit(const std::string& bytes) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{std::stoul(bytes), RLIM_INFINITY};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) throw std::runtime_error(std::strerror(errno));
        return {};
    }

    std::string Open(const std::string& path) {
        FTable = std::make_unique<dbf::TTable>();
        FTable->SetTableName(path);
        FTable->Open();
        return {};
    }

    std::string Edit(const std::string& recNo) {
        Table().SetPhysicalRecNo(std::stoi(recNo));
        Table().Edit();
        return {};
    }

    std::string Set(const std::string& fieldAndText) {
        const size_t blank = fieldAndText.find(' ');
        const std::string text = blank == std::string::npos ? std::string() : fieldAndText.substr(blank + 1);
        Table().FieldByName(fieldAndText.substr(0, blank)).SetAsString(text);
        return {};
    }

    std::string Get(const std::string& field) { return Table().FieldByName(field).AsString(); }

    std::string Post(const std::string&) {
        Table().Post();
        return {};
    }

    std::string Cancel(const std::string&) {
        Table().Cancel();
        return {};
    }

    // Alternates the two ways a record is appended: in one call, and as an
    // insert that is filled and then posted.
    std::string Append(const std::string& tagAndCount) {
        std::istringstream words(tagAndCount);
        std::string tag;
        int count = 0;
        words >> tag >> count;
        for (int seq = 1; seq <= count; ++seq) {
            const std::string name = WorkerRecordName(tag, seq);
            const std::string memo = WorkerMemoText(tag, seq);
            if (seq % 2 == 1) {
                Table().AppendRecord({name, memo});
                continue;
            }
            Table().Append();
            Table().FieldByName(kWorkerNameField).SetAsString(name);
            Table().FieldByName(kWorkerMemoField).SetAsString(memo);
            Table().Post();
        }
        return {};
    }

    std::string BulkAppend(const std::string& tagAndCount) {
        dbf::TAppendBatch batch(Table());
        Append(tagAndCount);
        batch.Finish();
        return {};
    }

    // One raw look at the file: the header's count and the records the file
    // size covers must all be written, their flag a blank and their name set.
    // The count is read first and the size after it; only records inside
    // that size are read, as the file may grow while it is being read.
    std::string Watch(const std::string& pathAndTarget) {
        std::istringstream words(pathAndTarget);
        std::string path;
        uint32_t target = 0;
        words >> path >> target;
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        for (long passes = 1;; ++passes) {
            if (std::chrono::steady_clock::now() > giveUp) throw std::runtime_error("the count never came");
            std::ifstream file(path, std::ios::binary);
            std::vector<uint8_t> header(12);
            file.read(reinterpret_cast<char*>(header.data()), 12);
            if (!file) throw std::runtime_error("file shorter than its header");
            const uint32_t counted = header[4] | (header[5] << 8) | (header[6] << 16) | (uint32_t{header[7]} << 24);
            const size_t headerSize = header[8] | (header[9] << 8);
            const size_t recordSize = header[10] | (header[11] << 8);
            const size_t bySize = (std::filesystem::file_size(path) - headerSize) / recordSize;
            if (counted > bySize) throw std::runtime_error("header counts " + std::to_string(counted) + ", file holds " +
                                                           std::to_string(bySize));
            std::vector<uint8_t> records(bySize * recordSize);
            file.seekg(static_cast<std::streamoff>(headerSize));
            file.read(reinterpret_cast<char*>(records.data()), static_cast<std::streamsize>(records.size()));
            for (size_t n = 1; n <= bySize; ++n) {
                const uint8_t* record = records.data() + (n - 1) * recordSize;
                if (record[0] != ' ' || record[1] == ' ' || record[1] == 0)
                    throw std::runtime_error("record " + std::to_string(n) + " counted before it was written");
            }
            if (counted >= target) return std::to_string(passes);
        }
    }

    std::string Pack(const std::string&) {
        WithExclusiveAccess([this] { Table().PackTable(); });
        return {};
    }

    std::string Empty(const std::string&) {
        WithExclusiveAccess([this] { Table().EmptyTable(); });
        return {};
    }

    // Every open of a shared table rewrites its header; this one does it n times.
    std::string Reopen(const std::string& times) {
        for (int i = std::stoi(times); i > 0; --i) {
            Table().Close();
            Table().Open();
        }
        return {};
    }

    std::string Close(const std::string&) {
        FTable.reset();
        return {};
    }

    // The shared mode comes back whether the operation succeeds or not.
    template <typename Operation>
    void WithExclusiveAccess(Operation operation) {
        Table().TryExclusive();
        try {
            operation();
        } catch (...) {
            Table().EndExclusive();
            throw;
        }
        Table().EndExclusive();
    }

    dbf::TTable& Table() {
        if (!FTable) throw std::runtime_error("no table open");
        return *FTable;
    }

    std::unique_ptr<dbf::TTable> FTable;
};

}  // namespace

int main() {
    // The tests write and compare their texts in the same German setting.
    dbf::platform::TLocaleOverride german("de_DE.UTF-8");
    TTableWorker worker;
    for (std::string line; std::getline(std::cin, line);) std::cout << worker.Run(line) << std::endl;
    return 0;
}
