// dbftool against independent readers and writers of dBASE files from
// Debian: python3-dbfread (dBASE III and FoxPro) and Perl's XBase (dBASE IV
// with memos) read the tables dbftool writes, and dbftool reads the tables
// python3-dbf (dBASE III, FoxPro, Visual FoxPro) and XBase (dBASE IV) write;
// in both directions every value must agree.
#include "DbftoolTestSupport.h"

#include <gtest/gtest.h>

using namespace dbftool_test;

namespace {

std::string LongMemo() {
    std::string text;
    for (int i = 0; i < 30; ++i) text += "Zeile " + std::to_string(i) + " — Äpfel und Öl für 25 €\r\n";
    return text;
}

// The records every table of these tests gets; the second is deleted afterwards.
std::string CommonLines(bool withExtras) {
    Json first{{"NAME", "Grüße — Œuvre €"}, {"QTY", -12}, {"PRICE", 1234.5}, {"OK", true}, {"DAY", "2024-03-05"},
               {"NOTE", LongMemo()}};
    Json second{{"NAME", "to be deleted"}, {"QTY", 1}, {"PRICE", 1}, {"OK", false}, {"DAY", "2000-01-01"},
                {"NOTE", "gone"}};
    Json third{{"NAME", "  leading"}, {"QTY", 0}, {"PRICE", -0.25}, {"OK", false}, {"DAY", "1999-12-31"},
               {"NOTE", "kurz"}};
    Json fourth{{"NAME", nullptr}, {"QTY", nullptr}, {"PRICE", nullptr}, {"OK", true}, {"DAY", nullptr},
                {"NOTE", nullptr}};
    if (withExtras) {
        first.update(Json{{"COUNT", -7}, {"WHEN", "2023-12-31T23:59:58.125"}, {"RATE", 2.25}, {"COST", 19.99}});
        second.update(Json{{"COUNT", 5}, {"WHEN", "2000-01-01T00:00:00.000"}, {"RATE", 0.5}, {"COST", 1}});
        third.update(Json{{"COUNT", 2147483647}, {"WHEN", "2000-02-29T12:00:00.000"}, {"RATE", -1e10}, {"COST", -0.5}});
        fourth.update(Json{{"COUNT", nullptr}, {"WHEN", nullptr}, {"RATE", nullptr}, {"COST", nullptr}});
    }
    return first.dump() + "\n" + second.dump() + "\n" + third.dump() + "\n" + fourth.dump() + "\n";
}

const std::vector<std::string> kCommonFields{"NAME:C:30", "QTY:N:6", "PRICE:N:9:2", "OK:L", "DAY:D", "NOTE:M"};

void FillAndDeleteSecond(const std::string& table, bool withExtras) {
    AppendLines(table, CommonLines(withExtras));
    const RunResult deleted = RunTool({"delete", table, "2"});
    ASSERT_EQ(deleted.ExitCode, 0) << deleted.Err;
}

std::vector<Json> PeerRecords(const RunResult& result) {
    EXPECT_EQ(result.ExitCode, 0) << result.Err;
    return JsonLines(result.Out);
}

}  // namespace

TEST(DbftoolPeers, DbfreadReadsADbaseIIITableWrittenByDbftool) {
    TempFolder folder;
    const std::string table = folder.File("iii.dbf");
    CreateTable(table, 3, kCommonFields);
    FillAndDeleteSecond(table, false);
    const std::vector<Json> peers = PeerRecords(RunPythonPeer("dbfread_dump.py", {table, EncodingOf(table)}));
    ExpectSameRecords(InPeerOrder(Dump(table, true)), peers, "dBASE III read by python3-dbfread");
}

TEST(DbftoolPeers, DbfreadReadsAFoxProTableWrittenByDbftool) {
    TempFolder folder;
    const std::string table = folder.File("fox.dbf");
    std::vector<std::string> fields{"--lang", "3"};
    fields.insert(fields.end(), kCommonFields.begin(), kCommonFields.end());
    fields.insert(fields.end(), {"COUNT:I", "WHEN:T", "RATE:B:8", "COST:Y"});
    CreateTable(table, 25, fields);
    FillAndDeleteSecond(table, true);
    const std::vector<Json> peers = PeerRecords(RunPythonPeer("dbfread_dump.py", {table, EncodingOf(table)}));
    ExpectSameRecords(InPeerOrder(Dump(table, true)), peers, "FoxPro read by python3-dbfread");
}

// dbftool's FoxPro tables take the FoxPro 2 form (version 0xF5, 10-character
// memo references) unless a field only Visual FoxPro knows makes them Visual
// FoxPro (0x30, 4-byte references, back-link area); every peer reads both.
struct FoxProFormCase {
    const char* Name;
    bool VisualFoxPro;
    const char* Peer;  // dump script in tests/tools/peers
};

class DbftoolFoxProForms : public ::testing::TestWithParam<FoxProFormCase> {};

TEST_P(DbftoolFoxProForms, PeerReadsWhatDbftoolWrote) {
    const FoxProFormCase& c = GetParam();
    TempFolder folder;
    const std::string table = folder.File("fox.dbf");
    std::vector<std::string> fields{"--lang", "3"};
    fields.insert(fields.end(), kCommonFields.begin(), kCommonFields.end());
    if (c.VisualFoxPro) fields.insert(fields.end(), {"COUNT:I", "WHEN:T", "RATE:B:8", "COST:Y"});
    CreateTable(table, 25, fields);
    FillAndDeleteSecond(table, c.VisualFoxPro);
    EXPECT_EQ(Info(table)["version"], c.VisualFoxPro ? 0x30 : 0xF5);
    const std::string peer = c.Peer;
    const RunResult read = peer.ends_with(".pl") ? RunPerlPeer(peer, {table, EncodingOf(table)})
                                                 : RunPythonPeer(peer, {table, EncodingOf(table)});
    ExpectSameRecords(InPeerOrder(Dump(table, true)), PeerRecords(read), std::string(c.Name));
}

INSTANTIATE_TEST_SUITE_P(FormsAndPeers, DbftoolFoxProForms,
                         ::testing::Values(FoxProFormCase{"FoxPro2ByPythonDbf", false, "pydbf_dump.py"},
                                           FoxProFormCase{"FoxPro2ByDbfread", false, "dbfread_dump.py"},
                                           FoxProFormCase{"FoxPro2ByXBase", false, "xbase_dump.pl"},
                                           FoxProFormCase{"VisualFoxProByPythonDbf", true, "pydbf_dump.py"},
                                           FoxProFormCase{"VisualFoxProByDbfread", true, "dbfread_dump.py"}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(DbftoolPeers, XBaseReadsADbaseIVTableWithMemosDbftoolWrote) {
    TempFolder folder;
    const std::string table = folder.File("iv.dbf");
    std::vector<std::string> fields{"--lang", "0x57"};
    fields.insert(fields.end(), kCommonFields.begin(), kCommonFields.end());
    fields.push_back("RATIO:F:10:4");
    CreateTable(table, 4, fields);
    FillAndDeleteSecond(table, false);
    const RunResult ratio = RunTool({"update", table, "1", R"({"RATIO":-0.0625})"});
    ASSERT_EQ(ratio.ExitCode, 0) << ratio.Err;
    const std::vector<Json> peers = PeerRecords(RunPerlPeer("xbase_dump.pl", {table, EncodingOf(table)}));
    ExpectSameRecords(InPeerOrder(Dump(table, true)), peers, "dBASE IV read by XBase");
}

class DbftoolReadsPythonDbf : public ::testing::TestWithParam<std::pair<std::string, std::string>> {};

TEST_P(DbftoolReadsPythonDbf, DumpAgreesWithWhatPythonDbfReadsBack) {
    const auto& [kind, dialect] = GetParam();
    TempFolder folder;
    const std::string table = folder.File(kind + ".dbf");
    const std::vector<Json> peers = PeerRecords(RunPythonPeer("pydbf_write.py", {table, kind}));
    ASSERT_EQ(peers.size(), 4u);
    EXPECT_EQ(Info(table)["dialect"], dialect);
    ExpectSameRecords(InPeerOrder(Dump(table, true)), peers, kind + " table written by python3-dbf");
}

INSTANTIATE_TEST_SUITE_P(Kinds, DbftoolReadsPythonDbf,
                         ::testing::Values(std::pair<std::string, std::string>{"db3", "dBASE III"},
                                           std::pair<std::string, std::string>{"fp", "FoxPro"},
                                           std::pair<std::string, std::string>{"vfp", "FoxPro"}),
                         [](const auto& info) { return info.param.first; });

TEST(DbftoolPeers, DumpAgreesWithWhatXBaseReadsFromTheDbaseIVTableItWrote) {
    TempFolder folder;
    const std::string table = folder.File("xbase.dbf");
    const RunResult written = RunPerlPeer("xbase_write.pl", {table});
    ASSERT_EQ(written.ExitCode, 0) << written.Err;
    const Json info = Info(table);
    EXPECT_EQ(info["dialect"], "dBASE IV");
    EXPECT_EQ(info["codePage"], 1252);
    const std::vector<Json> peers = PeerRecords(RunPerlPeer("xbase_dump.pl", {table, "cp1252"}));
    ASSERT_EQ(peers.size(), 4u);
    ExpectSameRecords(InPeerOrder(Dump(table, true)), peers, "dBASE IV table written by XBase");
}

TEST(DbftoolPeers, ATableAPeerWroteTakesAppendsThePeerReads) {
    TempFolder folder;
    const std::string table = folder.File("grow.dbf");
    ASSERT_EQ(RunPythonPeer("pydbf_write.py", {table, "fp"}).ExitCode, 0);
    AppendLines(table, R"({"NAME":"added by dbftool","QTY":9,"NOTE":"new memo ä","OK":true,"DAY":"2025-01-31"})"
                       "\n");
    const std::vector<Json> peers = PeerRecords(RunPythonPeer("dbfread_dump.py", {table, "cp1252"}));
    ASSERT_EQ(peers.size(), 5u);
    ExpectSameRecords(InPeerOrder(Dump(table, true)), peers, "FoxPro table grown by dbftool");
}
