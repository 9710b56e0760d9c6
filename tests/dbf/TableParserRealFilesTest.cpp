// The table parser over tables written by other programs, read in place:
// every record of a table evaluated with an expression over fields of
// several kinds, compared with what the files are known to hold.
#include "ExprTestSupport.h"

#include "dbf/platform/files.h"
#include "dbf/table_file.h"
#include "dbf/table_parser.h"

#include <gtest/gtest.h>

namespace {

using namespace dbf;

const std::string kRealFiles = QUARZEL_REALFILES_DIR;

struct TRealCase {
    const char* File;
    const char* Expression;
    bool Raw;
    std::vector<std::string> Expected;  // per record, the first ones
};

class RealTableExpressions : public ::testing::TestWithParam<TRealCase> {};

TEST_P(RealTableExpressions, GiveTheKnownValues) {
    if (!platform::FileExists(kRealFiles + "/MANIFEST.md")) GTEST_SKIP() << "no real files at " << kRealFiles;
    TTableFile file;
    file.SetFileName(kRealFiles + "/" + GetParam().File);
    file.SetMode(pfReadOnly);
    file.SetOnIndexMissing([](bool& deleteLink) { deleteLink = true; });
    file.Open();
    TTableParser parser(&file);
    parser.SetRawStringFields(GetParam().Raw);
    parser.ParseExpression(GetParam().Expression);
    std::vector<uint8_t> record(static_cast<size_t>(file.RecordSize()));
    for (size_t i = 0; i < GetParam().Expected.size(); ++i) {
        const auto recNo = static_cast<int32_t>(i + 1);
        file.ReadRecord(recNo, record.data());
        EXPECT_EQ(RenderResult(parser.ExtractFromBuffer(record.data(), recNo), parser.ResultType()),
                  GetParam().Expected[i])
            << "record " << recNo;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, RealTableExpressions,
    ::testing::Values(
        TRealCase{"dbase3/test.dbf",
                  "STR(ID, 3) + '|' + TRIM(MSG) + '|' + DTOS(DATES) + IIF(BOOLEAN, 'T', 'F') + IIF(DELETED(), '*', '')",
                  true,
                  {"S:  1|Record no 1|19960813F", "S:  2|No 2|19960814T*", "S:  3|Message no 3|19960102F"}},
        TRealCase{"dbase3/test.dbf", "LEFT(MSG, 6) = 'record' .OR. ID > 2", false, {"B:T", "B:F", "B:T"}},
        TRealCase{"dbase4/dbase_8b.dbf", "UPPER(TRIM(CHARACTER)) + STR(NUMERICAL, 6, 2) + DTOS(DATE)", true,
                  {"S:ONE  1.0019700101", "S:TWO  2.0019701231", "S:THREE  3.0019800101"}},
        TRealCase{"dbase4/dbase_8b.dbf", "LOGICAL .AND. FLOAT > 1.2 .AND. YEAR(DATE) < 1971", false,
                  {"B:T", "B:T", "B:F"}},
        TRealCase{"dbase7/dbase_7.dbf", "DTOS(DATE) + TRIM(USER) + TRIM(ID)", true,
                  {"S:20150223DFG1", "S:20130131GFS2", "S:20141028HSJ3"}},
        TRealCase{"dbase7/inventory.dbf", "QTY * 2 + RECNO()", true, {"I:107", "I:140", "I:303"}},
        TRealCase{"foxpro/cp1251.dbf", "UPPER(NAME) + STR(RN, 2)", false,
                  {"S:АМБУЛАТОРНО-ПОЛИКЛИНИЧЕСКОЕ 1", "S:БОЛЬНИЧНОЕ 2", "S:НИИ 3"}},
        TRealCase{"foxpro/cp1251.dbf", "'ИИ' $ NAME", false, {"B:F", "B:F", "B:T"}}),
    [](const ::testing::TestParamInfo<TRealCase>& info) { return "case" + std::to_string(info.index); });

}  // namespace
