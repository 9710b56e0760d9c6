#include "EditCommands.h"

#include "TableAccess.h"
#include "ToolError.h"

#include "dbf/table.h"
#include "records/CsvRecords.h"
#include "records/JsonLines.h"
#include "records/RecordAppend.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>

namespace dbftool {

void RunAppend(const std::string& tablePath, std::istream& input, TInputFormat format, bool plainForms) {
    std::unique_ptr<dbf::TTable> table = OpenTable(tablePath, TAccess::Shared, false);
    table->SetStorePlainForms(plainForms);
    long appended = 0;
    if (format == TInputFormat::Csv)
        records::AppendCsv(*table, input, appended);
    else
        records::AppendJsonLines(*table, input, appended);
}

void RunAppend(const std::string& tablePath, const std::string& inputFile, TInputFormat format, bool plainForms) {
    if (inputFile.empty() || inputFile == "-") {
        RunAppend(tablePath, std::cin, format, plainForms);
        return;
    }
    std::ifstream input(inputFile);
    if (!input) throw TToolError("Cannot open file \"" + inputFile + "\". " + std::strerror(errno));
    RunAppend(tablePath, input, format, plainForms);
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
