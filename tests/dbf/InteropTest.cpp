// Interoperability with independent dBASE readers and writers from Debian
// (python3-dbfread, python3-dbf, Perl's XBase): tables with memos that this
// engine writes read the same there (FoxPro tables in both their forms, FoxPro 2
// and Visual FoxPro), tables they write read the same here,
// and tables they write and this engine extends still read the same there,
// umlauts included. A test skips when its peer is not installed.
#include "TableFixtures.h"

#include "dbf/platform/text.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <memory>
#include <ostream>

using namespace dbf;

namespace {

const std::string kPeers = std::string(QUARZEL_SOURCE_DIR) + "/tests/dbf/peers/";

struct Row {
    std::string Name;
    std::string Note;
    bool operator==(const Row&) const = default;
};

const std::vector<Row> kRows = {{"Grüße", "Ölmühle\r\nzweite Zeile"}, {"plain", ""}, {"Maß", "ÄÖÜ äöü ß"}};

bool PeerInstalled(const std::string& probe) { return std::system((probe + " >/dev/null 2>&1").c_str()) == 0; }

#define SKIP_WITHOUT(probe) \
    if (!PeerInstalled(probe)) GTEST_SKIP() << "peer missing: " << probe

const char* kDbfread = "/usr/bin/python3 -c 'import dbfread'";
const char* kPythonDbf = "/usr/bin/python3 -c 'import dbf'";
const char* kXBase = "perl -MXBase -e 1";

std::string RunPeer(const std::string& command) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen((command + " 2>&1").c_str(), "r"), pclose);
    std::string out;
    std::array<char, 4096> chunk{};
    size_t got = 0;
    while (pipe && (got = fread(chunk.data(), 1, chunk.size(), pipe.get())) > 0) out.append(chunk.data(), got);
    return out;
}

std::string Escaped(std::string text) {
    for (const auto& [from, to] : {std::pair<std::string, std::string>{"\r", "\\r"}, {"\n", "\\n"}}) {
        for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
            text.replace(at, from.size(), to);
    }
    return text;
}

// Failures show the texts instead of the bytes of the objects.
void PrintTo(const Row& row, std::ostream* out) { *out << "{" << row.Name << " | " << Escaped(row.Note) << "}"; }

std::string PeerLines(const std::vector<Row>& rows) {
    std::string out;
    for (const Row& row : rows) out += row.Name + "\t" + Escaped(row.Note) + "\n";
    return out;
}

std::string Cp1252(const std::string& utf8) { return platform::Utf8ToCodePage(1252, utf8); }

// Appends the rows through the table file, each memo written before its record.
void AppendRows(TTableFile& file, const std::vector<Row>& rows) {
    std::vector<uint8_t> record(static_cast<size_t>(file.RecordSize()));
    for (const Row& row : rows) {
        file.InitRecord(record.data());
        file.SetFieldData(0, TFieldType::ftString, Cp1252(row.Name).c_str(), record.data(), false);
        const std::string note = Cp1252(row.Note);
        TMemoryStream memo(std::vector<uint8_t>(note.begin(), note.end()));
        int32_t block = 0;
        file.MemoFile()->WriteMemo(block, 0, memo);
        if (block != 0) file.SetFieldData(1, TFieldType::ftInteger, &block, record.data(), true);
        file.Insert(record.data());
    }
}

// A FoxPro table with a date-time field behind the two takes the Visual FoxPro form.
void WriteWithEngine(const std::string& path, TXBaseVersion version, bool withDateTime = false) {
    TFieldDescriptors defs(version);
    defs.Add("NAME", TFieldType::ftString, 20, false);
    defs.Add("NOTE", TFieldType::ftMemo, 0, false);
    if (withDateTime) defs.Add("STAMP", TFieldType::ftDateTime, 0, false);
    TTableFile file;
    file.SetFileName(path);
    file.SetMode(pfExclusiveCreate);
    file.SetTableVersion(version);
    file.SetFileLangId(version == xBaseIII ? 0 : (version == xFoxPro ? 0x03 : 0x57));  // code page 1252
    file.Open();
    file.FinishCreate(defs, version == xFoxPro ? 64 : 512);
    AppendRows(file, kRows);
    file.Close();
}

std::vector<Row> ReadWithEngine(const std::string& path) {
    TTableFile file;
    OpenTable(file, path, pfReadOnly);
    std::vector<Row> rows;
    std::vector<uint8_t> record(static_cast<size_t>(file.RecordSize()));
    for (int n = 1; n <= file.GetRecordCount(); ++n) {
        file.ReadRecord(n, record.data());
        if (record[0] == '*') continue;
        int32_t block = 0;
        TMemoryStream memo;
        if (file.GetFieldData(1, TFieldType::ftInteger, record.data(), &block, true))
            file.MemoFile()->ReadMemo(block, memo);
        rows.push_back({platform::CodePageToUtf8(1252, FieldText(file, 0, record.data())),
                        platform::CodePageToUtf8(1252, std::string(memo.Bytes().begin(), memo.Bytes().end()))});
    }
    return rows;
}

std::string PeerArguments(const std::vector<Row>& rows) {
    std::string out;
    for (const Row& row : rows) out += " '" + row.Name + "' '" + row.Note + "'";
    return out;
}

// Runs a writer script ("script dialect") on path with the rows; answers its output.
std::string WriteWithPeer(const std::string& command, const std::string& path, const std::vector<Row>& rows) {
    const size_t space = command.find(' ');
    return RunPeer(kPeers + command.substr(0, space) + " " + path + command.substr(space) + PeerArguments(rows));
}

struct EngineWrites {
    const char* Name;
    TXBaseVersion Version;
    const char* Peer;
    const char* Reader;
    bool WithDateTime = false;  // FoxPro: the Visual FoxPro form
};

class InteropEngineWrites : public ::testing::TestWithParam<EngineWrites> {};

TEST_P(InteropEngineWrites, PeerReadsTheSameValues) {
    const EngineWrites& c = GetParam();
    SKIP_WITHOUT(c.Peer);
    ScratchFolder folder;
    const std::string path = folder.File("t.dbf");
    WriteWithEngine(path, c.Version, c.WithDateTime);
    EXPECT_EQ(RunPeer(kPeers + c.Reader + " " + path + " 2"), PeerLines(kRows));
}

INSTANTIATE_TEST_SUITE_P(
    InteropPeers, InteropEngineWrites,
    ::testing::Values(EngineWrites{"DbfreadBaseIII", xBaseIII, kDbfread, "read_dbfread.py"},
                      EngineWrites{"DbfreadFoxPro", xFoxPro, kDbfread, "read_dbfread.py"},
                      EngineWrites{"DbfreadVisualFoxPro", xFoxPro, kDbfread, "read_dbfread.py", true},
                      EngineWrites{"PythonDbfBaseIII", xBaseIII, kPythonDbf, "read_pydbf.py"},
                      EngineWrites{"PythonDbfFoxPro", xFoxPro, kPythonDbf, "read_pydbf.py"},
                      EngineWrites{"PythonDbfVisualFoxPro", xFoxPro, kPythonDbf, "read_pydbf.py", true},
                      EngineWrites{"XBaseBaseIII", xBaseIII, kXBase, "read_xbase.pl"},
                      EngineWrites{"XBaseBaseIV", xBaseIV, kXBase, "read_xbase.pl"},
                      EngineWrites{"XBaseFoxPro", xFoxPro, kXBase, "read_xbase.pl"},
                      EngineWrites{"XBaseVisualFoxPro", xFoxPro, kXBase, "read_xbase.pl", true}),
    [](const auto& info) { return std::string(info.param.Name); });

struct PeerWrites {
    const char* Name;
    const char* Peer;
    const char* Command;  // writer script and dialect argument
    TXBaseVersion Expected;
};

class InteropPeerWrites : public ::testing::TestWithParam<PeerWrites> {};

TEST_P(InteropPeerWrites, EngineReadsTheSameValues) {
    const PeerWrites& c = GetParam();
    SKIP_WITHOUT(c.Peer);
    ScratchFolder folder;
    const std::string path = folder.File("t.dbf");
    ASSERT_EQ(WriteWithPeer(c.Command, path, kRows), "");
    TTableFile file;
    OpenTable(file, path, pfReadOnly);
    EXPECT_EQ(file.TableVersion(), c.Expected);
    file.Close();
    EXPECT_EQ(ReadWithEngine(path), kRows);
}

INSTANTIATE_TEST_SUITE_P(InteropPeers, InteropPeerWrites,
                         ::testing::Values(PeerWrites{"PythonDbfFoxPro", kPythonDbf, "write_dbf.py vfp", xFoxPro},
                                           // python3-dbf stamps a language byte, which makes 0x83 a dBASE IV table
                                           PeerWrites{"PythonDbfBaseIII", kPythonDbf, "write_dbf.py db3", xBaseIV},
                                           PeerWrites{"XBaseBaseIII", kXBase, "write_xbase.pl 3", xBaseIII},
                                           PeerWrites{"XBaseBaseIV", kXBase, "write_xbase.pl 4", xBaseIV},
                                           PeerWrites{"PythonDbfFoxPro2", kPythonDbf, "write_dbf.py fp", xFoxPro},
                                           PeerWrites{"XBaseFoxPro", kXBase, "write_xbase.pl 245", xFoxPro}),
                         [](const auto& info) { return std::string(info.param.Name); });

// A table the peer wrote and the engine extended, memos included, still reads
// right in a peer: the engine writes its memos in the layout the memo file has.
struct PeerExtends {
    const char* Name;
    const char* Peer;
    const char* Writer;  // writer script and dialect argument
    const char* ReaderPeer;
    const char* Reader;
};

class InteropPeerExtends : public ::testing::TestWithParam<PeerExtends> {};

TEST_P(InteropPeerExtends, PeerReadsTheAppendedRows) {
    const PeerExtends& c = GetParam();
    SKIP_WITHOUT(c.Peer);
    SKIP_WITHOUT(c.ReaderPeer);
    ScratchFolder folder;
    const std::string path = folder.File("t.dbf");
    const std::vector<Row> peerRows(kRows.begin(), kRows.begin() + 2);
    ASSERT_EQ(WriteWithPeer(c.Writer, path, peerRows), "");
    {
        TTableFile file;
        OpenTable(file, path, pfExclusiveOpen);
        AppendRows(file, {kRows.back()});
    }
    EXPECT_EQ(RunPeer(kPeers + c.Reader + " " + path), PeerLines(kRows));
    EXPECT_EQ(ReadWithEngine(path), kRows);
}

INSTANTIATE_TEST_SUITE_P(
    InteropPeers, InteropPeerExtends,
    ::testing::Values(PeerExtends{"PythonDbfBaseIII", kPythonDbf, "write_dbf.py db3", kDbfread, "read_dbfread.py"},
                      PeerExtends{"PythonDbfFoxPro", kPythonDbf, "write_dbf.py vfp", kDbfread, "read_dbfread.py"},
                      PeerExtends{"XBaseBaseIII", kXBase, "write_xbase.pl 3", kXBase, "read_xbase.pl"},
                      PeerExtends{"XBaseBaseIV", kXBase, "write_xbase.pl 4", kXBase, "read_xbase.pl"},
                      PeerExtends{"XBaseFoxPro", kXBase, "write_xbase.pl 245", kXBase, "read_xbase.pl"}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
