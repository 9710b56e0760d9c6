#include "TableAccess.h"

#include "ToolError.h"

#include <filesystem>

namespace dbftool {

namespace {

int DefaultCodePage = 0;

[[noreturn]] void NoSuchRecord(int recNo, int count) {
    throw TToolError("Record " + std::to_string(recNo) + " does not exist: the table has " + std::to_string(count) +
                     (count == 1 ? " record." : " records."));
}

}  // namespace

std::string AbsoluteTablePath(const std::string& path) {
    return std::filesystem::absolute(std::filesystem::path(path)).lexically_normal().string();
}

void SetDefaultCodePage(int codePage) { DefaultCodePage = codePage; }

std::unique_ptr<dbf::TTable> NewTable(const std::string& path) {
    auto table = std::make_unique<dbf::TTable>();
    table->SetDefaultCodePage(DefaultCodePage);
    table->SetTableName(AbsoluteTablePath(path));
    return table;
}

std::unique_ptr<dbf::TTable> OpenTable(const std::string& path, TAccess access, bool showDeleted) {
    std::unique_ptr<dbf::TTable> table = NewTable(path);
    table->SetReadOnly(access == TAccess::ReadOnly);
    table->SetExclusive(false);
    table->SetShowDeleted(showDeleted);
    table->Open();
    if (access == TAccess::Exclusive) table->TryExclusive();
    return table;
}

void CheckRecordsExist(dbf::TTable& table, const std::vector<int>& recNos) {
    const int count = table.PhysicalRecordCount();
    for (const int recNo : recNos)
        if (recNo < 1 || recNo > count) NoSuchRecord(recNo, count);
}

void GotoRecord(dbf::TTable& table, int recNo) {
    CheckRecordsExist(table, {recNo});
    table.SetPhysicalRecNo(recNo);
    if (table.PhysicalRecNo() != recNo) NoSuchRecord(recNo, table.PhysicalRecordCount());
}

}  // namespace dbftool
