#include "EditCommands.h"

#include "JsonValues.h"
#include "TableAccess.h"
#include "ToolError.h"

#include "dbf/table.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>

namespace dbftool {

namespace {

constexpr const char* kRecNoKey = "_recno";

nlohmann::json ParseObject(const std::string& text) {
    nlohmann::json value;
    try {
        value = nlohmann::json::parse(text);
    } catch (const nlohmann::json::parse_error& error) {
        throw TToolError(std::string("not valid JSON: ") + error.what());
    }
    if (!value.is_object()) throw TToolError("not a JSON object");
    return value;
}

bool IsBlank(const std::string& line) {
    return line.find_first_not_of(" \t\r\n") == std::string::npos;
}

// The failure of one input line, with its number in front of the reason.
[[noreturn]] void FailLine(long lineNo, const char* reason) {
    throw TToolError("line " + std::to_string(lineNo) + ": " + reason);
}

// Posts the record being built or edited, or cancels it when any step fails.
template <typename Fill>
void PostOrCancel(dbf::TTable& table, Fill fill) {
    try {
        fill();
        table.Post();
    } catch (...) {
        if (table.State() == ds::dsEdit || table.State() == ds::dsInsert) table.Cancel();
        throw;
    }
}

void AppendLine(dbf::TTable& table, const std::string& line) {
    const nlohmann::json object = ParseObject(line);
    table.Append();
    PostOrCancel(table, [&] { ApplyObject(object, table); });
}

}  // namespace

void ApplyObject(const nlohmann::json& object, dbf::TTable& table) {
    for (const auto& [key, value] : object.items()) {
        if (key == kRecNoKey && !table.FindField(key)) continue;
        JsonToField(value, table.FieldByName(key));
    }
}

void RunAppend(const std::string& tablePath, std::istream& input, bool plainForms) {
    std::unique_ptr<dbf::TTable> table = OpenTable(tablePath, TAccess::Shared, false);
    table->SetStorePlainForms(plainForms);
    std::string line;
    long lineNo = 0;
    while (std::getline(input, line)) {
        ++lineNo;
        if (IsBlank(line)) continue;
        try {
            AppendLine(*table, line);
        } catch (const std::exception& error) {
            FailLine(lineNo, error.what());
        }
    }
    if (input.bad()) throw TToolError(std::string("reading the input failed: ") + std::strerror(errno));
}

void RunAppend(const std::string& tablePath, const std::string& inputFile, bool plainForms) {
    if (inputFile.empty() || inputFile == "-") {
        RunAppend(tablePath, std::cin, plainForms);
        return;
    }
    std::ifstream input(inputFile);
    if (!input) throw TToolError("Cannot open file \"" + inputFile + "\". " + std::strerror(errno));
    RunAppend(tablePath, input, plainForms);
}

void RunUpdate(const std::string& tablePath, int recNo, const std::string& json, bool plainForms) {
    const nlohmann::json object = ParseObject(json);
    std::unique_ptr<dbf::TTable> table = OpenTable(tablePath, TAccess::Shared, true);
    table->SetStorePlainForms(plainForms);
    GotoRecord(*table, recNo);
    table->Edit();
    PostOrCancel(*table, [&] { ApplyObject(object, *table); });
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
        PostOrCancel(*table, [&] { table->Undelete(); });
    }
}

}  // namespace dbftool
