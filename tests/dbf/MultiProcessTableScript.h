// What the table worker (table_worker.cpp) and the tests that drive it agree
// on: the field names of the scripted tables and the exact content of every
// record a worker appends, so a test can check each one after several
// workers have appended at once.
//
// Contract:
// - Record seq (1-based) of writer tag carries NAME = WorkerRecordName(tag,
//   seq) and NOTE = WorkerMemoText(tag, seq); both depend only on tag and seq.
// - Memo texts vary in length between a few bytes and about three 512-byte
//   blocks and start and end with the name, so a memo that lands in another
//   record, is cut short or overlaps another one cannot pass for the right one.
//
// The worker's protocol is one command per line on stdin and exactly one
// reply line per command on stdout: "ok", "ok <value>" or "error <message>".
//   host <name>        run with that computer name (before open)
//   limit <bytes>      no file may grow beyond <bytes> from now on
//   open <path>        open the table shared
//   edit <recno>       lock and edit the record with that physical number
//   set <field> <text> assign the rest of the line to the field
//   get <field>        ok <the field's text>
//   post | cancel      end the edit or insert
//   append <tag> <n>   append records 1..n of writer tag, each posted at once
//   bulkappend <tag> <n> the same inside one append batch (dbf/append_batch.h)
//   watch <path> <n>   read the file raw, over and over, until its header counts
//                      at least n records: ok <passes>, or an error naming the
//                      first record counted (by the header or by the file
//                      size) that was not written yet
//   pack | empty       maintenance with temporary exclusive access
//   reopen <n>         close and open the table again, n times
//   close              close the table; end of input ends the worker
#pragma once

#include <cstdio>
#include <string>

inline constexpr const char* kWorkerNameField = "NAME";
inline constexpr const char* kWorkerMemoField = "NOTE";
inline constexpr int kWorkerNameWidth = 10;

inline std::string WorkerRecordName(const std::string& tag, int seq) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%05d", seq);
    return tag + digits;
}

inline std::string WorkerMemoText(const std::string& tag, int seq) {
    const std::string name = WorkerRecordName(tag, seq);
    std::string text = name + ":";
    const int fill = (seq * 37) % 1500;
    for (int i = 0; i < fill; ++i) text += static_cast<char>('a' + (seq + i) % 26);
    return text + ":" + name;
}
