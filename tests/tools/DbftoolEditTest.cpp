// dbftool's editing and maintenance commands: update, delete and recall on
// physical record numbers, dump --deleted, pack and zap; and all of them
// beside another process that holds the table open, as a running trainer does.
#include "DbftoolTestSupport.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <thread>

using namespace dbftool_test;

namespace {

class DbftoolEdit : public ::testing::Test {
protected:
    void SetUp() override {
        table = folder.File("e.dbf");
        CreateTable(table, 4, {"--lang", "0x57", "NAME:C:10", "QTY:N:5", "NOTE:M"});
        AppendLines(table,
                    "{\"NAME\":\"one\",\"QTY\":1,\"NOTE\":\"memo one\"}\n"
                    "{\"NAME\":\"two\",\"QTY\":2,\"NOTE\":\"memo two\"}\n"
                    "{\"NAME\":\"three\",\"QTY\":3,\"NOTE\":\"memo three\"}\n");
    }

    void Run(const std::vector<std::string>& arguments) {
        const RunResult result = RunTool(arguments);
        ASSERT_EQ(result.ExitCode, 0) << result.Err;
        EXPECT_EQ(result.Err, "");
        EXPECT_EQ(result.Out, "");
    }

    std::vector<std::string> Names(const std::vector<Json>& records) {
        std::vector<std::string> names;
        for (const Json& record : records) names.push_back(record["NAME"].get<std::string>());
        return names;
    }

    TempFolder folder;
    std::string table;
};

// Another dbftool process holding the table open shared: an append that
// has taken one line and waits for more on its standard input.
class TableHolder {
public:
    explicit TableHolder(const std::string& table) : FTable(table) {
        const std::string command = "LC_ALL=en_US.UTF-8 " + Quote(DBFTOOL_PATH) + " append " + Quote(table);
        FPipe = ::popen(command.c_str(), "w");
        if (!FPipe) return;
        const size_t before = Dump(table).size();
        std::fputs("{\"NAME\":\"holder\"}\n", FPipe);
        std::fflush(FPipe);
        // The line is in the table once the holder has the table open.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (Dump(table).size() == before && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        FHolding = Dump(table).size() > before;
    }
    ~TableHolder() { Release(); }

    bool Holding() const { return FHolding; }
    // Ends the holder's input; answers its exit status.
    int Release() {
        if (!FPipe) return FStatus;
        const int status = ::pclose(FPipe);
        FPipe = nullptr;
        FStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return FStatus;
    }

private:
    std::string FTable;
    FILE* FPipe = nullptr;
    bool FHolding = false;
    int FStatus = -1;
};

}  // namespace

TEST_F(DbftoolEdit, UpdateSetsOnlyTheNamedFields) {
    Run({"update", table, "2", R"({"qty":20,"NOTE":"a new memo text"})"});
    const std::vector<Json> records = Dump(table);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[1], (Json{{"_recno", 2}, {"NAME", "two"}, {"QTY", 20}, {"NOTE", "a new memo text"}}));
    EXPECT_EQ(records[0]["NOTE"], "memo one");
    EXPECT_EQ(records[2]["NOTE"], "memo three");
}

TEST_F(DbftoolEdit, UpdateWithNullEmptiesAField) {
    Run({"update", table, "1", R"({"NAME":null,"NOTE":null,"_recno":1})"});
    const std::vector<Json> records = Dump(table);
    EXPECT_EQ(records[0], (Json{{"_recno", 1}, {"NAME", nullptr}, {"QTY", 1}, {"NOTE", nullptr}}));
}

TEST_F(DbftoolEdit, DeletedRecordsLeaveTheDumpAndComeBackWithDeleted) {
    Run({"delete", table, "1", "3"});
    EXPECT_EQ(Names(Dump(table)), std::vector<std::string>{"two"});
    const std::vector<Json> all = Dump(table, true);
    ASSERT_EQ(all.size(), 3u);
    std::vector<std::string> keys;
    for (const auto& item : all[0].items()) keys.push_back(item.key());
    EXPECT_EQ(keys, (std::vector<std::string>{"_recno", "_deleted", "NAME", "QTY", "NOTE"}));
    EXPECT_EQ(all[0]["_deleted"], true);
    EXPECT_EQ(all[1]["_deleted"], false);
    EXPECT_EQ(all[2]["_deleted"], true);
    EXPECT_EQ(all[2]["_recno"], 3);
    EXPECT_EQ(Info(table)["records"], 3);
}

TEST_F(DbftoolEdit, RecallTakesTheMarkOff) {
    Run({"delete", table, "2"});
    Run({"delete", table, "2"});  // a deleted record may be deleted again
    Run({"recall", table, "2", "3"});
    EXPECT_EQ(Names(Dump(table)), (std::vector<std::string>{"one", "two", "three"}));
}

TEST_F(DbftoolEdit, UpdateReachesADeletedRecordAndLeavesItDeleted) {
    Run({"delete", table, "2"});
    Run({"update", table, "2", R"({"QTY":22})"});
    const std::vector<Json> all = Dump(table, true);
    EXPECT_EQ(all[1]["_deleted"], true);
    EXPECT_EQ(all[1]["QTY"], 22);
}

TEST_F(DbftoolEdit, PackRemovesTheDeletedRecordsAndKeepsTheMemos) {
    Run({"delete", table, "1"});
    Run({"pack", table});
    const std::vector<Json> all = Dump(table, true);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0], (Json{{"_recno", 1}, {"_deleted", false}, {"NAME", "two"}, {"QTY", 2}, {"NOTE", "memo two"}}));
    EXPECT_EQ(all[1]["NOTE"], "memo three");
    EXPECT_EQ(Info(table)["records"], 2);
}

TEST_F(DbftoolEdit, ZapEmptiesTheTableWhichStaysUsable) {
    Run({"zap", table});
    EXPECT_EQ(Dump(table, true).size(), 0u);
    const Json info = Info(table);
    EXPECT_EQ(info["records"], 0);
    EXPECT_EQ(info["fields"].size(), 3u);
    AppendLines(table, "{\"NAME\":\"again\",\"NOTE\":\"new memo\"}\n");
    const std::vector<Json> records = Dump(table);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0]["NOTE"], "new memo");
}

TEST_F(DbftoolEdit, EditingCommandsWorkBesideAnotherProcessHoldingTheTable) {
    TableHolder holder(table);
    ASSERT_TRUE(holder.Holding());
    AppendLines(table, "{\"NAME\":\"beside\"}\n");
    Run({"update", table, "1", R"({"QTY":100})"});
    Run({"delete", table, "2"});
    Run({"recall", table, "2"});
    EXPECT_EQ(holder.Release(), 0);
    const std::vector<Json> records = Dump(table);
    EXPECT_EQ(Names(records), (std::vector<std::string>{"one", "two", "three", "holder", "beside"}));
    EXPECT_EQ(records[0]["QTY"], 100);
}

TEST_F(DbftoolEdit, PackAndZapNeedTheTableToThemselves) {
    Run({"delete", table, "1"});
    TableHolder holder(table);
    ASSERT_TRUE(holder.Holding());
    for (const char* command : {"pack", "zap"}) {
        const RunResult result = RunTool({command, table});
        EXPECT_EQ(result.ExitCode, 1) << command;
        EXPECT_EQ(result.Err, "Exclusive access is required for this operation.\n") << command;
        EXPECT_EQ(result.Out, "");
    }
    EXPECT_EQ(holder.Release(), 0);
    EXPECT_EQ(Names(Dump(table, true)), (std::vector<std::string>{"one", "two", "three", "holder"}));
    Run({"pack", table});
    EXPECT_EQ(Names(Dump(table, true)), (std::vector<std::string>{"two", "three", "holder"}));
}

TEST_F(DbftoolEdit, InfoAndDumpReadATableAnotherProcessHolds) {
    TableHolder holder(table);
    ASSERT_TRUE(holder.Holding());
    EXPECT_EQ(Info(table)["records"], 4);
    EXPECT_EQ(Dump(table).size(), 4u);
}

// Text that the table's code page (850) cannot hold: refused with the line's
// number, unless the plain forms are asked for.
class DbftoolPlainForms : public ::testing::Test {
protected:
    void SetUp() override {
        table = folder.File("p.dbf");
        CreateTable(table, 4, {"--lang", "0x37", "NAME:C:20", "NOTE:M"});
    }

    TempFolder folder;
    std::string table;
    const std::string lines = "{\"NAME\":\"erst\"}\n"
                              "{\"NAME\":\"\u201Egenau\u201C \u2013 5 \u20AC\",\"NOTE\":\"nun\u2026\"}\n";
};

TEST_F(DbftoolPlainForms, AreRefusedWithTheLineNumber) {
    const RunResult result = RunToolWithInput({"append", table}, lines);
    EXPECT_EQ(result.ExitCode, 1);
    EXPECT_EQ(result.Err,
              "line 2: The character \"\u201E\" (U+201E) cannot be stored: code page 850 has no such character.\n");
    EXPECT_EQ(Dump(table).size(), 1u);
}

TEST_F(DbftoolPlainForms, AreStoredWhenAskedFor) {
    const RunResult appended = RunToolWithInput({"append", table, "--plain-forms"}, lines);
    ASSERT_EQ(appended.ExitCode, 0) << appended.Err;
    const std::vector<Json> records = Dump(table);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1]["NAME"], "\"genau\" - 5 EUR");
    EXPECT_EQ(records[1]["NOTE"], "nun...");
    EXPECT_EQ(RunTool({"update", table, "1", R"({"NAME":"a – b"})"}).ExitCode, 1);
    const RunResult updated = RunTool({"update", table, "1", R"({"NAME":"a – b"})", "--plain-forms"});
    ASSERT_EQ(updated.ExitCode, 0) << updated.Err;
    EXPECT_EQ(Dump(table)[0]["NAME"], "a - b");
}

TEST_F(DbftoolPlainForms, AreNamedInTheHelp) {
    const RunResult help = RunTool({"--help"});
    EXPECT_NE(help.Out.find("append TABLE [FILE] [--plain-forms]"), std::string::npos);
    EXPECT_NE(help.Out.find("update TABLE RECNO JSON [--plain-forms]"), std::string::npos);
}
