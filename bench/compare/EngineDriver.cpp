// The engine's side of the comparison: the same work as the peers' drivers,
// one piece of work per process, so whole processes can be timed alike.
//
//   quarzel_compare walk FILE shared|exclusive       every field of every record as text
//   quarzel_compare append FILE N shared|batch|exclusive
//                                                    a new walk-layout table of N records;
//                                                    batch: shared, in append batches
//   quarzel_compare memo-write FILE N BYTES dbase4|foxpro
//   quarzel_compare memo-read FILE                   every memo's text
//   quarzel_compare payments FILE N                  a new payment-layout table of N records
//   quarzel_compare payments-csv N                   the same rows as CSV on standard output
//   quarzel_compare count FILE [EXPR]                a walk counting the records, filtered by EXPR
//
// Each prints what it did (records, and bytes of text seen) so the work
// cannot be skipped and the peers' answers can be compared with it.
#include "bench/BenchTables.h"
#include "dbf/append_batch.h"

#include <filesystem>
#include <iostream>
#include <optional>
#include <string>

namespace {

struct TTablePath {
    std::string Folder;
    std::string Name;
};

TTablePath SplitPath(const std::string& file) {
    const std::filesystem::path path = std::filesystem::absolute(file);
    return {path.parent_path().string() + "/", path.filename().string()};
}

bool IsExclusive(const std::string& mode) {
    if (mode == "exclusive") return true;
    if (mode == "shared") return false;
    throw std::runtime_error("the mode is shared or exclusive, not " + mode);
}

void Walk(const TTablePath& path, bool exclusive) {
    dbf::TTable table;
    bench::UseTable(table, path.Folder, path.Name, exclusive);
    table.Open();
    ds::TFields& fields = table.Fields();
    int64_t records = 0;
    int64_t bytes = 0;
    for (table.First(); !table.Eof(); table.Next()) {
        for (int i = 0; i < fields.Count(); ++i) bytes += static_cast<int64_t>(fields[i].AsString().size());
        ++records;
    }
    std::cout << records << " records, " << bytes << " bytes of text\n";
}

void Append(const TTablePath& path, int64_t count, const std::string& mode) {
    const bool inBatches = mode == "batch";
    const bool exclusive = !inBatches && IsExclusive(mode);
    bench::CreateWalkTable(path.Folder, path.Name);
    dbf::TTable table;
    bench::UseTable(table, path.Folder, path.Name, exclusive);
    table.Open();
    std::optional<dbf::TAppendBatch> batch;
    if (inBatches) batch.emplace(table);
    bench::AppendWalkRecords(table, 0, count);
    if (batch) batch->Finish();
    table.Close();
    std::cout << count << " records appended\n";
}

void MemoWrite(const TTablePath& path, int64_t count, int memoBytes, const std::string& dialect) {
    if (dialect != "dbase4" && dialect != "foxpro") throw std::runtime_error("the dialect is dbase4 or foxpro");
    bench::CreateMemoTable(path.Folder, path.Name, dialect == "foxpro" ? bench::kLevelFoxPro : bench::kLevelDbase4);
    dbf::TTable table;
    bench::UseTable(table, path.Folder, path.Name, true);
    table.Open();
    for (int64_t i = 0; i < count; ++i) {
        table.Append();
        table.Fields()[0].SetAsInteger(static_cast<int32_t>(i));
        table.Fields()[1].SetAsString(bench::MemoText(i, memoBytes));
        table.Post();
    }
    table.Close();
    std::cout << count << " memos written\n";
}

void MemoRead(const TTablePath& path) {
    dbf::TTable table;
    bench::UseTable(table, path.Folder, path.Name, false);
    table.Open();
    int64_t memos = 0;
    int64_t bytes = 0;
    for (table.First(); !table.Eof(); table.Next()) {
        bytes += static_cast<int64_t>(table.Fields()[1].AsString().size());
        ++memos;
    }
    std::cout << memos << " memos, " << bytes << " bytes of text\n";
}

void Payments(const TTablePath& path, int64_t count) {
    bench::CreatePaymentTable(path.Folder, path.Name, count);
    std::cout << count << " records appended\n";
}

// Text fields carry no commas or quotes, so they need no quoting.
void PaymentsCsv(int64_t count) {
    std::cout << "name,ort,betrag,datum\n";
    for (int64_t i = 0; i < count; ++i) {
        const bench::TPaymentRow row = bench::PaymentRow(i);
        std::cout << row.Name << ',' << row.Ort << ',' << row.Betrag << ',' << row.Datum << '\n';
    }
}

void Count(const TTablePath& path, const std::string& expression) {
    dbf::TTable table;
    bench::UseTable(table, path.Folder, path.Name, false);
    table.Open();
    table.SetFilter(expression);
    table.SetFiltered(true);
    int64_t records = 0;
    for (table.First(); !table.Eof(); table.Next()) ++records;
    std::cout << records << " records\n";
}

int Usage() {
    std::cerr << "usage: quarzel_compare walk FILE shared|exclusive\n"
                 "       quarzel_compare append FILE N shared|batch|exclusive\n"
                 "       quarzel_compare memo-write FILE N BYTES dbase4|foxpro\n"
                 "       quarzel_compare memo-read FILE\n"
                 "       quarzel_compare payments FILE N\n"
                 "       quarzel_compare payments-csv N\n"
                 "       quarzel_compare count FILE [EXPR]\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return Usage();
    const std::string command = argv[1];
    if (command == "payments-csv" && argc == 3) {
        PaymentsCsv(std::stoll(argv[2]));
        return 0;
    }
    const TTablePath path = SplitPath(argv[2]);
    try {
        if (command == "walk" && argc == 4) Walk(path, IsExclusive(argv[3]));
        else if (command == "append" && argc == 5) Append(path, std::stoll(argv[3]), argv[4]);
        else if (command == "memo-write" && argc == 6) MemoWrite(path, std::stoll(argv[3]), std::stoi(argv[4]), argv[5]);
        else if (command == "memo-read" && argc == 3) MemoRead(path);
        else if (command == "payments" && argc == 4) Payments(path, std::stoll(argv[3]));
        else if (command == "count" && (argc == 3 || argc == 4)) Count(path, argc == 4 ? argv[3] : "");
        else return Usage();
    } catch (const std::exception& error) {
        std::cerr << error.what() << "\n";
        return 1;
    }
    return 0;
}
