// dbftool create -> append -> dump in the four dialects: the table's fields as
// info reports them, and every value coming back from dump in the form it
// went in (or the form the dialect gives an empty field).
#include "DbftoolTestSupport.h"

#include <gtest/gtest.h>

#include <ctime>

using namespace dbftool_test;

namespace {

struct FieldCase {
    std::string Spec;  // the create argument
    std::string Name;
    std::string Letter;
    int Size;
    int Decimals;
};

struct DialectCase {
    std::string Label;
    int Level;
    std::string Lang;  // --lang, or empty
    int Version;
    std::string Dialect;
    int LanguageId;
    std::string LanguageName;
    std::string MemoExtension;
    std::vector<FieldCase> Fields;
    std::vector<Json> Input;     // the lines appended
    std::vector<Json> Expected;  // the records dump gives back, without _recno
};

std::string LongMemo() {
    std::string text;
    for (int i = 0; i < 40; ++i) text += "Zeile " + std::to_string(i) + ": Äpfel, Öl und Übermut — 25 €\n";
    return text;  // well over one 512-byte block
}

std::vector<FieldCase> CommonFields() {
    return {{"NAME:C:30", "NAME", "C", 30, 0},  {"qty:N:6", "QTY", "N", 6, 0},
            {"Price:N:9:2", "PRICE", "N", 9, 2}, {"OK:L", "OK", "L", 1, 0},
            {"DAY:D", "DAY", "D", 8, 0},         {"NOTE:M", "NOTE", "M", 10, 0}};
}

std::vector<Json> CommonRecords() {
    return {
        Json{{"NAME", "Grüße — Œuvre €"}, {"QTY", -12}, {"PRICE", 1234.5}, {"OK", true}, {"DAY", "2024-03-05"},
             {"NOTE", LongMemo()}},
        Json{{"NAME", "  leading blanks"}, {"QTY", 0}, {"PRICE", -0.25}, {"OK", false}, {"DAY", "1999-12-31"},
             {"NOTE", "kurz"}},
        Json{{"NAME", nullptr}, {"QTY", nullptr}, {"PRICE", nullptr}, {"OK", nullptr}, {"DAY", nullptr},
             {"NOTE", nullptr}},
    };
}

void AddField(DialectCase& dialect, const FieldCase& field, const std::vector<Json>& inputs,
              const std::vector<Json>& expected) {
    dialect.Fields.push_back(field);
    for (size_t i = 0; i < dialect.Input.size(); ++i) {
        dialect.Input[i][field.Name] = inputs[i];
        dialect.Expected[i][field.Name] = expected[i];
    }
}

DialectCase Common(const std::string& label, int level, const std::string& lang) {
    DialectCase dialect;
    dialect.Label = label;
    dialect.Level = level;
    dialect.Lang = lang;
    dialect.MemoExtension = ".dbt";
    dialect.Fields = CommonFields();
    dialect.Input = CommonRecords();
    dialect.Expected = CommonRecords();
    return dialect;
}

DialectCase DBase3() {
    DialectCase d = Common("dBASE3", 3, "");
    d.Version = 0x83, d.Dialect = "dBASE III", d.LanguageId = 0;
    return d;
}

DialectCase DBase4() {
    DialectCase d = Common("dBASE4", 4, "0x57");
    d.Version = 0x8B, d.Dialect = "dBASE IV", d.LanguageId = 0x57;
    AddField(d, {"RATIO:F:10:4", "RATIO", "F", 10, 4}, {0.125, -3.5, nullptr}, {0.125, -3.5, nullptr});
    return d;
}

DialectCase DBase7() {
    DialectCase d = Common("dBASE7", 7, "0x57");
    d.Version = 0x8C, d.Dialect = "dBASE 7", d.LanguageId = 0x57, d.LanguageName = "DBWINUS0";
    AddField(d, {"COUNT:I", "COUNT", "I", 4, 0}, {-7, 2147483647, nullptr}, {-7, 2147483647, nullptr});
    AddField(d, {"WHEN:@", "WHEN", "@", 8, 0}, {"2023-12-31T23:59:58.125", "1900-01-01", nullptr},
             {"2023-12-31T23:59:58.125", "1900-01-01T00:00:00.000", nullptr});
    AddField(d, {"RATE:O", "RATE", "O", 8, 0}, {2.25, -1e10, nullptr}, {2.25, -1e10, nullptr});
    AddField(d, {"BIN:B", "BIN", "B", 10, 0}, {"00ff10", nullptr, nullptr}, {"00ff10", nullptr, nullptr});
    return d;
}

DialectCase FoxPro() {
    DialectCase d = Common("FoxPro", 25, "3");
    d.Version = 0x30, d.Dialect = "FoxPro", d.LanguageId = 3, d.MemoExtension = ".fpt";
    d.Fields[5].Size = 4;  // FoxPro memo references are 4 bytes wide
    // Integer, double and currency fields always hold a value in FoxPro: an empty one reads 0.
    AddField(d, {"COUNT:I", "COUNT", "I", 4, 0}, {-7, 2147483647, nullptr}, {-7, 2147483647, 0});
    AddField(d, {"WHEN:T", "WHEN", "T", 8, 0}, {"2023-12-31T23:59:58.125", "2000-02-29T12:00:00.000", nullptr},
             {"2023-12-31T23:59:58.125", "2000-02-29T12:00:00.000", nullptr});
    AddField(d, {"RATE:B:8", "RATE", "B", 8, 0}, {2.25, -1e10, nullptr}, {2.25, -1e10, 0.0});
    AddField(d, {"COST:Y", "COST", "Y", 8, 4}, {19.99, -0.5, nullptr}, {19.99, -0.5, 0.0});
    return d;
}

std::string JsonLinesOf(const std::vector<Json>& records) {
    std::string text;
    for (const Json& record : records) text += record.dump() + "\n";
    return text;
}

std::string Today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[16];
    std::strftime(text, sizeof text, "%Y-%m-%d", &local);
    return text;
}

class DbftoolRoundTrip : public ::testing::TestWithParam<DialectCase> {
protected:
    void SetUp() override {
        table = folder.File("t.dbf");
        std::vector<std::string> arguments;
        if (!GetParam().Lang.empty()) arguments = {"--lang", GetParam().Lang};
        for (const FieldCase& field : GetParam().Fields) arguments.push_back(field.Spec);
        CreateTable(table, GetParam().Level, arguments);
    }

    TempFolder folder;
    std::string table;
};

}  // namespace

TEST_P(DbftoolRoundTrip, InfoDescribesTheNewTable) {
    const DialectCase& d = GetParam();
    const std::string before = Today();
    const Json info = Info(table);
    const std::string after = Today();

    std::vector<std::string> keys;
    for (const auto& item : info.items()) keys.push_back(item.key());
    EXPECT_EQ(keys, (std::vector<std::string>{"file", "version", "dialect", "level", "records", "headerSize",
                                              "recordSize", "date", "languageId", "languageName", "codePage",
                                              "memo", "fields", "indexes"}));
    EXPECT_EQ(info["file"], table);
    EXPECT_EQ(info["version"], d.Version);
    EXPECT_EQ(info["dialect"], d.Dialect);
    EXPECT_EQ(info["level"], d.Level);
    EXPECT_EQ(info["records"], 0);
    const int n = static_cast<int>(d.Fields.size());
    const int headerSize = d.Level == 7 ? 68 + 48 * n + 1 : 32 + 32 * n + 1 + (d.Level == 25 ? 263 : 0);
    EXPECT_EQ(info["headerSize"], headerSize);
    int recordSize = 1;
    for (const FieldCase& field : d.Fields) recordSize += field.Size;
    EXPECT_EQ(info["recordSize"], recordSize);
    EXPECT_TRUE(info["date"] == before || info["date"] == after) << info["date"];
    EXPECT_EQ(info["languageId"], d.LanguageId);
    EXPECT_EQ(info["languageName"], d.LanguageName);
    EXPECT_EQ(info["codePage"], 1252);
    EXPECT_EQ(info["memo"], (Json{{"file", folder.File("t" + d.MemoExtension)}, {"blockSize", 512}}));
    Json fields = Json::array();
    for (const FieldCase& field : d.Fields)
        fields.push_back(
            Json{{"name", field.Name}, {"type", field.Letter}, {"size", field.Size}, {"decimals", field.Decimals}});
    EXPECT_EQ(info["fields"], fields);
    EXPECT_EQ(info["indexes"], Json::array());
}

TEST_P(DbftoolRoundTrip, DumpGivesBackWhatAppendTook) {
    const DialectCase& d = GetParam();
    AppendLines(table, JsonLinesOf(d.Input));
    const std::vector<Json> dumped = Dump(table);
    ASSERT_EQ(dumped.size(), d.Expected.size());
    for (size_t i = 0; i < dumped.size(); ++i) {
        Json expected{{"_recno", static_cast<int>(i) + 1}};
        for (const auto& item : d.Expected[i].items()) expected[item.key()] = item.value();
        EXPECT_EQ(dumped[i], expected) << "record " << i + 1;
    }
    EXPECT_EQ(Info(table)["records"], 3);
}

TEST_P(DbftoolRoundTrip, KeysAreFieldNamesInAnyCase) {
    AppendLines(table, R"({"name":"klein","Qty":7,"ok":true})"
                       "\n");
    const std::vector<Json> dumped = Dump(table);
    ASSERT_EQ(dumped.size(), 1u);
    EXPECT_EQ(dumped[0]["NAME"], "klein");
    EXPECT_EQ(dumped[0]["QTY"], 7);
    EXPECT_EQ(dumped[0]["OK"], true);
}

TEST_P(DbftoolRoundTrip, DumpOfItsOwnOutputAppendsTheSameRecords) {
    AppendLines(table, JsonLinesOf(GetParam().Input));
    const RunResult dumped = RunTool({"dump", table});
    ASSERT_EQ(dumped.ExitCode, 0) << dumped.Err;
    const std::string copy = folder.File("copy.dbf");
    std::vector<std::string> arguments;
    if (!GetParam().Lang.empty()) arguments = {"--lang", GetParam().Lang};
    for (const FieldCase& field : GetParam().Fields) arguments.push_back(field.Spec);
    CreateTable(copy, GetParam().Level, arguments);
    AppendLines(copy, dumped.Out);
    EXPECT_EQ(Dump(copy), Dump(table));
}

INSTANTIATE_TEST_SUITE_P(Dialects, DbftoolRoundTrip, ::testing::Values(DBase3(), DBase4(), DBase7(), FoxPro()),
                         [](const auto& info) { return info.param.Label; });

TEST(DbftoolCreate, LeftOutSizesTakeTheEngineDefaults) {
    TempFolder folder;
    const std::string table = folder.File("d.dbf");
    CreateTable(table, 4, {"TEXT:C", "FLAG:L", "DAY:D", "NOTE:M", "WIDE:N:25:2", "PRECISE:N:20:19", "AMOUNT:N::2"});
    const Json fields = Info(table)["fields"];
    const std::vector<std::pair<int, int>> expected{{30, 0}, {1, 0}, {8, 0}, {10, 0}, {20, 2}, {20, 18}, {4, 2}};
    ASSERT_EQ(fields.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(fields[i]["size"], expected[i].first) << fields[i];
        EXPECT_EQ(fields[i]["decimals"], expected[i].second) << fields[i];
    }
}

TEST(DbftoolCreate, NamesAreUpperCasedAndTypeLettersTakenInEitherCase) {
    TempFolder folder;
    const std::string table = folder.File("n.dbf");
    CreateTable(table, 3, {"MixedCase:c:5", "amount:n:7:1"});
    const Json fields = Info(table)["fields"];
    EXPECT_EQ(fields, (Json::parse(R"([{"name":"MIXEDCASE","type":"C","size":5,"decimals":0},
                                       {"name":"AMOUNT","type":"N","size":7,"decimals":1}])")));
}

TEST(DbftoolCreate, ATableWithoutMemoFieldsHasNoMemoFile) {
    TempFolder folder;
    const std::string table = folder.File("plain.dbf");
    CreateTable(table, 4, {"A:C:4"});
    const Json info = Info(table);
    EXPECT_TRUE(info["memo"].is_null());
    EXPECT_EQ(info["version"], 0x03);
    EXPECT_FALSE(std::filesystem::exists(folder.File("plain.dbt")));
}

TEST(DbftoolCreate, ALetterTheDialectCannotHoldFailsAndCreatesNothing) {
    TempFolder folder;
    const std::string table = folder.File("x.dbf");
    const RunResult result = RunTool({"create", table, "--level", "4", "A:C:4", "SEQ:+"});
    EXPECT_EQ(result.ExitCode, 1);
    EXPECT_EQ(result.Err, "Field SEQ: type '+' is not a field type of level 4 tables.\n");
    EXPECT_FALSE(std::filesystem::exists(table));
}

TEST(DbftoolCreate, TheLanguageIdIsWrittenToTheHeader) {
    TempFolder folder;
    const std::string table = folder.File("l.dbf");
    CreateTable(table, 4, {"--lang", "38", "A:C:4"});  // 0x26, Russian DOS
    const Json info = Info(table);
    EXPECT_EQ(info["languageId"], 0x26);
    EXPECT_EQ(info["codePage"], 866);
}
