#include "FuzzSupport.h"

#include <fstream>
#include <iterator>
#include <map>
#include <unistd.h>

namespace fuzz {

namespace {

// Memory-backed when the machine has it: the targets write files on every run.
std::filesystem::path ScratchRoot() {
    const std::filesystem::path shm = "/dev/shm";
    std::error_code error;
    return std::filesystem::is_directory(shm, error) ? shm : std::filesystem::temp_directory_path();
}

void AddSampleDefs(ds::TFieldDefs& defs, int level) {
    defs.Clear();
    defs.Add("NAME", ds::ftString, 10);
    defs.Add("COUNT", ds::ftInteger, 0);
    defs.Add("PRICE", ds::ftFloat, 0);
    defs.Add("OK", ds::ftBoolean, 0);
    defs.Add("DAY", ds::ftDate, 0);
    defs.Add("TEXT", ds::ftMemo, 0);
    if (level == 7) {
        defs.Add("ID", ds::ftAutoInc, 0);
        defs.Add("STAMP", ds::ftDateTime, 0);
        defs.Add("DATA", ds::ftBlob, 0);
    }
    if (level == 25) {
        defs.Add("STAMP", ds::ftDateTime, 0);
        defs.Add("MONEY", ds::ftCurrency, 0);
        defs.Add("NOTE", ds::ftMemo, 0);
    }
}

struct TSampleRecord {
    const char* Name;
    int Count;
    double Price;
    bool Ok;
    std::string Memo;
    bool Deleted;
};

std::vector<TSampleRecord> SampleRecords() {
    std::string longText;
    for (int line = 0; longText.size() < 1500; ++line) longText += "Zeile " + std::to_string(line) + " \xC3\xA4\xC3\xB6\r\n";
    return {
        {"Tb 1", 7, 3.14, true, "Wer darf eine Waffe f\xC3\xBChren?", false},
        {"Tb 2", -5, 0.5, false, std::string(600, 'x'), false},
        {"", 0, 0, false, "", true},
        {"Tb 18", 12345, 99.99, true, longText, false},
    };
}

void FillSampleRecords(dbf::TTable& table, int level) {
    for (const TSampleRecord& record : SampleRecords()) {
        table.Append();
        table.FieldByName("NAME").SetAsString(record.Name);
        table.FieldByName("COUNT").SetAsInteger(record.Count);
        table.FieldByName("PRICE").SetAsFloat(record.Price);
        table.FieldByName("OK").SetAsBoolean(record.Ok);
        table.FieldByName("DAY").SetAsDateTime(45356.0);  // 5 March 2024
        table.FieldByName("TEXT").SetAsString(record.Memo);
        if (level == 7) {
            table.FieldByName("STAMP").SetAsDateTime(45356.75);
            table.FieldByName("DATA").SetAsString(record.Memo.substr(0, 40));
        }
        if (level == 25) {
            table.FieldByName("STAMP").SetAsDateTime(45356.25);
            table.FieldByName("MONEY").SetAsCurrency(record.Price * 3);
            table.FieldByName("NOTE").SetAsString(record.Memo.substr(0, 100));
        }
        table.Post();
        if (record.Deleted) table.Delete();
    }
}

}  // namespace

TScratchFolder::TScratchFolder() {
    static int counter = 0;
    FPath = ScratchRoot() / ("quarzel-fuzz-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(FPath);
    std::filesystem::create_directories(FPath);
}

TScratchFolder::~TScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(FPath, ignored);
}

void WriteFile(const std::string& path, const uint8_t* data, size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    WriteFile(path, bytes.data(), bytes.size());
}

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int ReadEveryField(dbf::TTable& table) {
    int seen = 0;
    for (table.First(); !table.Eof(); table.Next()) {
        ++seen;
        table.IsDeleted();
        table.RecNo();
        for (int i = 0; i < table.FieldCount(); ++i) table.Fields()[i].AsString();
    }
    return seen;
}

TSampleTable MakeSampleTable(const TScratchFolder& folder, int level) {
    const std::string base = "sample" + std::to_string(level);
    dbf::TTable table;
    table.SetFilePath(folder.Path());
    table.SetTableName(base + ".dbf");
    table.SetTableLevel(level);
    table.SetExclusive(true);
    AddSampleDefs(table.FieldDefs(), level);
    table.CreateTable();
    table.Open();
    FillSampleRecords(table, level);
    table.Close();

    TSampleTable sample;
    sample.Level = level;
    sample.MemoExtension = level == 25 ? ".fpt" : ".dbt";
    sample.Table = ReadFile(folder.File(base + ".dbf"));
    sample.Memo = ReadFile(folder.File(base + sample.MemoExtension));
    return sample;
}

const TSampleTable& SampleTable(uint8_t selector) {
    static const std::map<int, TSampleTable> samples = [] {
        TScratchFolder folder;
        std::map<int, TSampleTable> made;
        for (int level : kSampleLevels) made[level] = MakeSampleTable(folder, level);
        return made;
    }();
    return samples.at(kSampleLevels[selector % std::size(kSampleLevels)]);
}

}  // namespace fuzz
