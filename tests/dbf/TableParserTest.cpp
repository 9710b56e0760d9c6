// The table-bound parsers over tables of the four dialects: each kind of
// field variable refreshed from records written and read back, raw and
// non-raw text with umlauts, a single field bound without compiling, the
// three switches, the unknown-name messages, a field named like a function,
// the index key length rule, and real tables written by other programs.
#include "ExprTestSupport.h"
#include "TableFixtures.h"

#include "dbf/language.h"
#include "dbf/table_parser.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace {

using namespace dbf;

struct TFieldLetter {
    const char* Name;
    char Letter;
    int Size;
    int Decimals;
};

// One table of a dialect with a record of known values. Text fields are
// written in code page 850 when the dialect keeps a language byte.
class TExprTable {
public:
    TExprTable(TXBaseVersion version, const std::vector<TFieldLetter>& extra) {
        TFieldDescriptors defs(version);
        std::vector<TFieldLetter> fields = {{"NAME", 'C', 20, 0},   {"ZAHL", 'N', 5, 0},  {"GROSS", 'N', 15, 0},
                                            {"BETRAG", 'N', 10, 2}, {"DATUM", 'D', 8, 0}, {"AKTIV", 'L', 1, 0},
                                            {"NOTIZ", 'M', 10, 0}};
        fields.insert(fields.end(), extra.begin(), extra.end());
        for (const auto& f : fields) {
            TFieldDescriptor& def = defs.AddFieldDef();
            def.SetFieldName(f.Name);
            // The letter last: its data type depends on width and decimals.
            def.SetSize(f.Size);
            def.SetPrecision(f.Decimals);
            def.SetNativeFieldType(f.Letter);
            def.SetSize(f.Size);
            def.SetPrecision(f.Decimals);
        }
        Path = Folder.File("expr.dbf");
        File.SetFileName(Path);
        File.SetMode(pfExclusiveCreate);
        File.SetTableVersion(version);
        if (version != xBaseIII) File.SetFileLangId(ConstructLangId(850, 0x0407, version == xFoxPro));
        File.Open();
        File.FinishCreate(defs, 512);
    }

    // Writes the values (null: empty) of the named fields into a new record and reads it back.
    std::vector<uint8_t> Record(const std::vector<std::pair<std::string, const void*>>& values,
                                bool deleted = false) {
        std::vector<uint8_t> buffer(static_cast<size_t>(File.RecordSize()));
        File.InitRecord(buffer.data());
        for (const auto& [name, value] : values) {
            const TFieldDescriptor* def = File.GetFieldInfo(name);
            File.SetFieldData(def->Index(), def->FieldType(), value, buffer.data(), false);
        }
        if (deleted) buffer[0] = '*';
        const int32_t recNo = File.Insert(buffer.data());
        std::vector<uint8_t> read(buffer.size());
        File.ReadRecord(recNo, read.data());
        return read;
    }

    ScratchFolder Folder;
    std::string Path;
    TTableFile File;
};

struct TDialect {
    const char* Name;
    TXBaseVersion Version;
    std::vector<TFieldLetter> Extra;
};

class FieldVariables : public ::testing::TestWithParam<TDialect> {};

std::string Eval(TTableParser& parser, const std::string& text, const std::vector<uint8_t>& record) {
    parser.ParseExpression(text);
    return RenderResult(parser.ExtractFromBuffer(record.data()), parser.ResultType());
}

TEST_P(FieldVariables, EveryKindIsRefreshedFromTheRecord) {
    TExprTable table(GetParam().Version, GetParam().Extra);
    const int32_t zahl = -42;
    const int64_t gross = 123456789012LL;
    const double betrag = 1234.5, datum = 45351;  // 2024-02-29
    const uint16_t aktiv = 1;
    const auto record = table.Record({{"NAME", "M\x81ller"}, {"ZAHL", &zahl}, {"GROSS", &gross},
                                      {"BETRAG", &betrag}, {"DATUM", &datum}, {"AKTIV", &aktiv}});
    const auto empty = table.Record({});
    TTableParser parser(&table.File);
    EXPECT_EQ(Eval(parser, "ZAHL", record), "I:-42");
    EXPECT_EQ(Eval(parser, "ZAHL + 1", record), "I:-41");
    EXPECT_EQ(Eval(parser, "GROSS", record), "L:123456789012");
    EXPECT_EQ(Eval(parser, "GROSS + 1", record), "L:123456789013");
    EXPECT_EQ(Eval(parser, "BETRAG * 2", record), "F:2469");
    EXPECT_EQ(Eval(parser, "DTOS(DATUM)", record), "S:20240229");
    EXPECT_EQ(Eval(parser, "AKTIV AND ZAHL < 0", record), "B:T");
    EXPECT_EQ(Eval(parser, "STR(ZAHL, 4) + STR(BETRAG, 8, 1)", record), "S: -42  1234.5");
    // Empty fields hold 0 (the date 1899-12-30).
    EXPECT_EQ(Eval(parser, "ZAHL", empty), "I:0");
    EXPECT_EQ(Eval(parser, "DTOS(DATUM)", empty), "S:18991230");
    EXPECT_EQ(Eval(parser, "AKTIV", empty), "B:F");
    EXPECT_EQ(Eval(parser, "BETRAG", empty), "F:0");
    for (const auto& f : GetParam().Extra) {
        SCOPED_TRACE(f.Name);
        parser.ParseExpression(f.Name);
        EXPECT_NE(parser.ResultType(), etUnknown);
        EXPECT_NO_THROW(parser.ExtractFromBuffer(record.data()));
    }
}

TEST_P(FieldVariables, RawTextIsTheBytesAndNonRawTheTrimmedText) {
    TExprTable table(GetParam().Version, GetParam().Extra);
    const std::string bytes = platform::Utf8ToCodePage(static_cast<int>(table.File.UseCodePage()), "Müller");
    ASSERT_EQ(bytes.size(), 6u);
    const auto record = table.Record({{"NAME", bytes.c_str()}});
    TTableParser parser(&table.File);
    parser.ParseExpression("NAME");
    EXPECT_FALSE(parser.IsExpression());
    EXPECT_EQ(parser.ResultLen(), 20);
    const char* raw = parser.ExtractFromBuffer(record.data());
    EXPECT_EQ(TTableParser::StringResultBytes(raw, 100), bytes + std::string(14, ' '));
    // Raw characters are the bytes as they are: the umlaut's byte is taken as that character number.
    const std::string umlautByte = platform::Utf8FromCodePoint(static_cast<unsigned char>(bytes[1]));
    EXPECT_EQ(Eval(parser, "UPPER(NAME)", record),
              "S:M" + platform::UpperCase(umlautByte) + "LLER" + std::string(14, ' '));
    parser.SetRawStringFields(false);
    EXPECT_EQ(Eval(parser, "NAME", record), "S:Müller");
    EXPECT_EQ(parser.ResultLen(), -1);
    EXPECT_EQ(Eval(parser, "UPPER(NAME) + '|'", record), "S:MÜLLER|");
    parser.SetPartialMatch(true);
    EXPECT_EQ(Eval(parser, "NAME = 'mü*'", record), "B:T");
    EXPECT_EQ(Eval(parser, "NAME = '*ER'", record), "B:T");
    EXPECT_EQ(Eval(parser, "NAME = '*LL*'", record), "B:T");
    EXPECT_EQ(Eval(parser, "NAME = '*x*'", record), "B:F");
}

INSTANTIATE_TEST_SUITE_P(
    Dialects, FieldVariables,
    ::testing::Values(TDialect{"dBaseIII", xBaseIII, {}}, TDialect{"dBaseIV", xBaseIV, {{"FLIESS", 'F', 12, 3}}},
                      TDialect{"dBaseVII", xBaseVII, {{"GANZ", 'I', 4, 0}, {"ZEIT", '@', 8, 0}, {"DOPPELT", 'O', 8, 0},
                                                       {"ZAEHLER", '+', 4, 0}}},
                      TDialect{"FoxPro", xFoxPro, {{"GANZ", 'I', 4, 0}, {"ZEIT", 'T', 8, 0}, {"GELD", 'Y', 8, 4},
                                                    {"DOPPELT", 'B', 8, 0}}}),
    [](const ::testing::TestParamInfo<TDialect>& info) { return std::string(info.param.Name); });

TEST(TableParser, UnknownNamesAndFieldKindsRaiseTheTableMessages) {
    TExprTable table(xBaseIV, {});
    TTableParser parser(&table.File);
    struct {
        const char* Text;
        const char* Message;
    } cases[] = {
        {"UNBEKANNT", "Index based on unknown field \"UNBEKANNT\"."},
        {"UPPER", "Index based on unknown field \"UPPERCASE\"."},
        {"NAME + 5", "Index based on unknown field \"+\"."},
        {"NOTIZ", "Field \"NOTIZ\" is an invalid field type to base index on."},
        {"UPPER(NOTIZ)", "Field \"NOTIZ\" is an invalid field type to base index on."},
    };
    for (const auto& c : cases) {
        try {
            parser.ParseExpression(c.Text);
            ADD_FAILURE() << c.Text;
        } catch (const ETableError& e) {
            EXPECT_STREQ(e.what(), c.Message) << c.Text;
        }
        EXPECT_EQ(parser.CurrentExpression(), "");
        EXPECT_EQ(parser.ResultType(), etUnknown);
    }
    const auto record = table.Record({{"NAME", "abc"}});
    EXPECT_EQ(Eval(parser, "UPPER(NAME)", record), "S:ABC" + std::string(17, ' '));
}

TEST(TableParser, AFieldNamedLikeAFunctionIsTheFieldWithoutBrackets) {
    TExprTable table(xBaseIV, {{"UPPERCASE", 'C', 5, 0}, {"DATE", 'D', 8, 0}});
    const double datum = 45351;
    const auto record = table.Record({{"UPPERCASE", "abc"}, {"NAME", "xy"}, {"DATE", &datum}});
    TTableParser parser(&table.File);
    EXPECT_EQ(Eval(parser, "UPPERCASE + '|'", record), "S:abc  |");
    EXPECT_EQ(Eval(parser, "UPPERCASE(NAME) + UPPERCASE", record), "S:XY                  abc  ");
    EXPECT_EQ(Eval(parser, "UPPER(UPPERCASE) + UPPERCASE", record), "S:ABC  abc  ");
    EXPECT_EQ(Eval(parser, "DTOS(DATE)", record), "S:20240229");
    EXPECT_EQ(Eval(parser, "DATE < DATE()", record), "B:T");
}

TEST(TableParser, SwitchingPartialMatchAndCaseRecompilesTheCurrentText) {
    TExprTable table(xBaseIV, {});
    const auto record = table.Record({{"NAME", "Meier"}});
    TTableParser parser(&table.File);
    parser.SetRawStringFields(false);
    parser.ParseExpression("NAME = 'me*'");
    EXPECT_EQ(RenderResult(parser.ExtractFromBuffer(record.data()), etBoolean), "B:F");
    parser.SetPartialMatch(true);
    EXPECT_EQ(parser.CurrentExpression(), "NAME = 'me*'");
    EXPECT_EQ(RenderResult(parser.ExtractFromBuffer(record.data()), etBoolean), "B:T");
    parser.SetCaseInsensitive(false);
    EXPECT_EQ(RenderResult(parser.ExtractFromBuffer(record.data()), etBoolean), "B:F");
    parser.ParseExpression("NAME = 'Me*' AND 'ei' $ NAME AND NOT 'EI' $ NAME");
    EXPECT_EQ(RenderResult(parser.ExtractFromBuffer(record.data()), etBoolean), "B:T");
    parser.SetCaseInsensitive(true);
    parser.SetPartialMatch(false);
    EXPECT_EQ(Eval(parser, "NAME = 'MEIER'", record), "B:T");
    EXPECT_EQ(Eval(parser, "NAME < 'meiers'", record), "B:T");
}

TEST(TableParser, RecordNumberAndDeletionFlagComeFromTheRecord) {
    TExprTable table(xBaseIII, {});
    const auto live = table.Record({});
    const auto gone = table.Record({}, true);
    TTableParser parser(&table.File);
    parser.ParseExpression("STR(RECNO()) + IIF(DELETED(), '*', '-')");
    EXPECT_EQ(RenderResult(parser.ExtractFromBuffer(live.data(), 1), etString), "S:1-");
    EXPECT_EQ(RenderResult(parser.ExtractFromBuffer(gone.data(), 2), etString), "S:2*");
}

TEST(TableParser, ResultLengthByType) {
    TExprTable table(xBaseIV, {});
    TTableParser parser(&table.File);
    const std::pair<const char*, int> cases[] = {{"ZAHL", 4},      {"AKTIV", 1},        {"BETRAG", 8},
                                                 {"DATUM", 8},     {"NAME", 20},        {"GROSS", -1},
                                                 {"NAME + 'x'", -1}, {"ZAHL + 1", 4},   {"ZAHL = 1", 1}};
    for (const auto& [text, length] : cases) {
        parser.ParseExpression(text);
        EXPECT_EQ(parser.ResultLen(), length) << text;
    }
}

TEST(IndexKeyParser, KeyLongerThanOneHundredCharactersIsRefused) {
    TExprTable table(xBaseIV, {{"LANG", 'C', 90, 0}});
    TIndexKeyParser parser(&table.File);
    const std::pair<const char*, int> fits[] = {{"LANG", 90}, {"SUBSTR(LANG, 1, 80) + NAME", 100}, {"ZAHL", 4},
                                                {"STR(ZAHL, 10) + DTOS(DATUM)", 18}};
    for (const auto& [text, length] : fits) {
        parser.ParseExpression(text);
        EXPECT_EQ(parser.KeyLength(), length) << text;
    }
    try {
        parser.ParseExpression("LANG + SUBSTR(NAME, 1, 11)");
        FAIL();
    } catch (const ETableError& e) {
        EXPECT_STREQ(e.what(), "Index result for \"LANG + SUBSTR(NAME, 1, 11)\" too long, >100 characters (101).");
    }
    EXPECT_EQ(parser.CurrentExpression(), "");
    parser.ParseExpression("NAME");
    EXPECT_EQ(parser.KeyLength(), 20);
}

}  // namespace
