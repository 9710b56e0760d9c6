#include "EditCommands.h"

#include "TableAccess.h"
#include "ToolError.h"

#include "dbf/append_batch.h"
#include "dbf/table.h"
#include "records/CsvRecords.h"
#include "records/JsonLines.h"
#include "records/RecordAppend.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace dbftool {

namespace {

// Input from a file never keeps the reader waiting, so the appends can go in
// batches that hold the table's header lock; input from a pipe or a terminal
// may pause between lines, and other processes must not wait for it.
bool StandardInputIsAFile() {
    struct stat info {};
    return fstat(STDIN_FILENO, &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

void RunAppend(const std::string& tablePath, std::istream& input, TInputFormat format, bool plainForms,
               bool inBatches) {
    std::unique_ptr<dbf::TTable> table = OpenTable(tablePath, TAccess::Shared, false);
    table->SetStorePlainForms(plainForms);
    std::optional<dbf::TAppendBatch> batch;
    if (inBatches) batch.emplace(*table);
    long appended = 0;
    if (format == TInputFormat::Csv)
        records::AppendCsv(*table, input, appended);
    else
        records::AppendJsonLines(*table, input, appended);
    if (batch) batch->Finish();
}

void RunAppend(const std::string& tablePath, const std::string& inputFile, TInputFormat format, bool plainForms) {
    if (inputFile.empty() || inputFile == "-") {
        RunAppend(tablePath, std::cin, format, plainForms, StandardInputIsAFile());
        return;
    }
    std::ifstream input(inputFile);
    if (!input) throw TToolError("Cannot open file \"" + inputFile + "\". " + std::strerror(errno));
    RunAppend(tablePath, input, format, plainForms, true);
}

void RunUpdate(const std::string& tablePath, int recNo, const std::string& json, bool plainForms) {
    const nlohmann::json object = records::ParseObject(json);
    std::unique_ptr<dbf::TTable> table = OpenTable(tablePath, TAccess::Shared, true);
    table->SetStorePlainForms(plainForms);
    GotoRecord(*table, recNo);
    table->Edit();
    records::PostOrCancel(*table, [&] { records::ApplyObject(object, *table); });
}

void RunDelete(const std::string& tablePath, const std::vector<int>& recNos) {
    std::unique_ptr<dbf::TTable> table = OpenTable(tablePath, TAccess::Shared, true);
    CheckRecordsExist(*table, recNos);
    for (const int recNo : recNos) {
        GotoRecord(*table, recNo);
        table->Delete();
    }
}

void RunRecall(const std::string& tablePath, const std::vector<int>& recNos) {
    std::unique_ptr<dbf::TTable> table = OpenTable(tablePath, TAccess::Shared, true);
    CheckRecordsExist(*table, recNos);
    for (const int recNo : recNos) {
        GotoRecord(*table, recNo);
        records::PostOrCancel(*table, [&] { table->Undelete(); });
    }
}

}  // namespace dbftool
