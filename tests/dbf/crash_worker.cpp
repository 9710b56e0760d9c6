// The crash worker: appends records with memos to a table until it is
// killed, and reports every finished append on its standard output, so a
// test can kill it at a random moment and then check that nothing that had
// finished was lost.
//
//   table_crash_worker <table path> <first id>
//
// The table (fields NAME C10, SIZE N, TEXT M) must exist. The worker opens it
// shared, as the trainer does, writes "ready", then appends the records
// first id, first id + 1, ... and writes each id on a line of its own once
// its Post has returned. Record id holds NAME "R<id>", SIZE the length of its
// memo, (id * 7919) mod 1400 + 1, and TEXT that many letters, the one at
// position i being 'a' + (id + i) mod 26; memos thus take one to three blocks.
// The worker stops by itself after 100000 appends.
#include "dbf/table.h"

#include <cstdio>
#include <exception>
#include <string>
#include <unistd.h>

namespace {

std::string MemoText(int id) {
    std::string text(static_cast<size_t>(int64_t{id} * 7919 % 1400 + 1), ' ');
    for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>('a' + (id + static_cast<int>(i)) % 26);
    return text;
}

// Unbuffered, so a line the test reads is an append that finished.
void Report(const std::string& line) {
    const std::string out = line + "\n";
    if (::write(STDOUT_FILENO, out.data(), out.size()) != static_cast<ssize_t>(out.size())) std::_Exit(3);
}

void AppendRecord(dbf::TTable& table, int id) {
    const std::string text = MemoText(id);
    table.Append();
    table.FieldByName("NAME").SetAsString("R" + std::to_string(id));
    table.FieldByName("SIZE").SetAsInteger(static_cast<int32_t>(text.size()));
    table.FieldByName("TEXT").SetAsString(text);
    table.Post();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <table path> <first id>\n", argv[0]);
        return 2;
    }
    try {
        dbf::TTable table;
        table.SetTableName(argv[1]);
        table.Open();
        Report("ready");
        const int first = std::stoi(argv[2]);
        for (int id = first; id < first + 100000; ++id) {
            AppendRecord(table, id);
            Report(std::to_string(id));
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "crash worker: %s\n", error.what());
        return 1;
    }
    return 0;
}
