// Field definitions: letter and data type mappings per dialect, default widths,
// normalisation and copying.
#include "dbf/field_defs.h"
#include "dbf/language.h"
#include "dbf/messages.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using dbf::TFieldType;
using enum ds::TFieldType;

struct TLetterCase {
    dbf::TXBaseVersion Version;
    char Letter;
    int Size;
    int Precision;
    TFieldType Type;
    char StoredLetter;
    int NormalSize;
    int NormalPrecision;
};

// A definition read from a descriptor: width and decimals first, then the letter.
TEST(FieldDefsLetter, MapsToTypeAndNormalises) {
    const TLetterCase cases[] = {
        {dbf::xBaseIV, 'C', 10, 3, ftString, 'C', 10, 0},
        {dbf::xBaseIV, 'c', 10, 0, ftString, 'C', 10, 0},
        {dbf::xBaseIV, 'C', 300, 0, ftString, 'C', 255, 0},
        {dbf::xFoxPro, 'C', 300, 0, ftString, 'C', 300, 0},
        {dbf::xFoxPro, 'C', 70000, 0, ftString, 'C', 65535, 0},
        {dbf::xBaseIV, 'C', -5, 0, ftString, 'C', 0, 0},
        {dbf::xBaseIV, '\x91', 12, 2, ftString, '\x91', 12, 2},
        {dbf::xBaseIV, 'N', 4, 0, ftSmallint, 'N', 4, 0},
        {dbf::xBaseIV, 'N', 5, 0, ftInteger, 'N', 5, 0},
        {dbf::xBaseIV, 'N', 9, 0, ftInteger, 'N', 9, 0},
        {dbf::xBaseIV, 'N', 10, 0, ftLargeint, 'N', 10, 0},
        {dbf::xBaseIV, 'N', 25, 0, ftLargeint, 'N', 20, 0},
        {dbf::xBaseIV, 'N', 20, 19, ftFloat, 'N', 20, 18},
        {dbf::xBaseIV, 'F', 0, 0, ftSmallint, 'F', 1, 0},
        {dbf::xBaseIV, 'F', 8, 2, ftFloat, 'F', 8, 2},
        {dbf::xBaseVII, 'I', 9, 2, ftInteger, 'I', 4, 0},
        {dbf::xBaseIV, 'L', 5, 1, ftBoolean, 'L', 1, 0},
        {dbf::xBaseIV, 'D', 0, 0, ftDate, 'D', 8, 0},
        {dbf::xFoxPro, 'T', 0, 0, ftDateTime, 'T', 8, 0},
        {dbf::xBaseIV, 'T', 0, 0, ftDateTime, 'T', 14, 0},
        {dbf::xBaseVII, '@', 3, 0, ftDateTime, '@', 8, 0},
        {dbf::xBaseIV, 'M', 4, 0, ftMemo, 'M', 10, 0},
        {dbf::xFoxPro, 'M', 4, 0, ftMemo, 'M', 4, 0},
        {dbf::xFoxPro, 'M', 10, 0, ftMemo, 'M', 10, 0},
        {dbf::xFoxPro, 'M', 7, 0, ftMemo, 'M', 4, 0},
        {dbf::xBaseIV, 'G', 7, 0, ftDBaseOle, 'G', 10, 0},
        {dbf::xBaseIV, 'B', 8, 0, ftBlob, 'B', 10, 0},
        {dbf::xFoxPro, 'B', 8, 2, ftFloat, 'B', 8, 2},
        {dbf::xBaseVII, 'O', 4, 0, ftFloat, 'O', 8, 0},
        {dbf::xFoxPro, 'Y', 10, 0, ftBCD, 'Y', 8, 4},
        {dbf::xFoxPro, '0', 3, 0, ftBytes, '0', 3, 0},
        {dbf::xBaseVII, '+', 8, 0, ftAutoInc, '+', 4, 0},
        {dbf::xBaseIV, '+', 8, 0, ftUnknown, '+', 4, 0},
        {dbf::xBaseIV, 'V', 8, 0, ftUnknown, '\0', 8, 0},
    };
    for (const auto& c : cases) {
        dbf::TFieldDescriptors defs(c.Version);
        dbf::TFieldDescriptor& def = defs.AddFieldDef();
        def.SetSize(c.Size);
        def.SetPrecision(c.Precision);
        def.SetNativeFieldType(c.Letter);
        const std::string what = std::string("letter ") + c.Letter + " size " + std::to_string(c.Size) +
                                 " dialect " + std::to_string(c.Version);
        EXPECT_EQ(def.FieldType(), c.Type) << what;
        EXPECT_EQ(def.NativeFieldType(), c.StoredLetter) << what;
        EXPECT_EQ(def.Size(), c.NormalSize) << what;
        EXPECT_EQ(def.Precision(), c.NormalPrecision) << what;
    }
}

TEST(FieldDefsLetter, CurrencyFollowsTheGlobalSetting) {
    dbf::TEngineGlobals& globals = dbf::EngineGlobals();
    ASSERT_TRUE(globals.CurrencyAsBCD());
    globals.SetCurrencyAsBCD(false);
    dbf::TFieldDescriptors defs(dbf::xFoxPro);
    dbf::TFieldDescriptor& def = defs.AddFieldDef();
    def.SetNativeFieldType('Y');
    globals.SetCurrencyAsBCD(true);
    EXPECT_EQ(def.FieldType(), ftCurrency);
}

struct TTypeCase {
    TFieldType Type;
    char Level7;
    char FoxPro;
    char Others;
};

TEST(FieldDefsType, MapsToLetterPerDialect) {
    const TTypeCase cases[] = {
        {ftString, 'C', 'C', 'C'},     {ftFixedChar, 'C', 'C', 'C'}, {ftWideString, 'C', 'C', 'C'},
        {ftSmallint, 'N', 'N', 'N'},   {ftWord, 'N', 'N', 'N'},      {ftFloat, 'N', 'N', 'N'},
        {ftLargeint, 'N', 'N', 'N'},   {ftInteger, 'I', 'N', 'N'},   {ftBoolean, 'L', 'L', 'L'},
        {ftDate, 'D', 'D', 'D'},       {ftDateTime, '@', 'T', 'D'},  {ftCurrency, 0, 'Y', 0},
        {ftBCD, 0, 'Y', 0},            {ftAutoInc, '+', '+', '+'},   {ftBlob, 'B', 'B', 'B'},
        {ftMemo, 'M', 'M', 'M'},       {ftDBaseOle, 'G', 'G', 'G'},  {ftTime, 0, 0, 0},
        {ftBytes, 0, 0, 0},
    };
    for (const auto& c : cases) {
        const std::pair<dbf::TXBaseVersion, char> dialects[] = {
            {dbf::xBaseVII, c.Level7}, {dbf::xFoxPro, c.FoxPro}, {dbf::xBaseIV, c.Others}, {dbf::xBaseIII, c.Others}};
        for (const auto& [version, letter] : dialects) {
            dbf::TFieldDescriptors defs(version);
            dbf::TFieldDescriptor& def = defs.AddFieldDef();
            def.SetFieldName("PRICE");
            const std::string what = "type " + std::to_string(static_cast<int>(c.Type)) + " dialect " +
                                     std::to_string(version);
            if (letter == 0) {
                try {
                    def.SetFieldType(c.Type);
                    ADD_FAILURE() << what << ": no exception";
                } catch (const dbf::ETableError& e) {
                    EXPECT_EQ(std::string(e.what()),
                              dbf::Format(dbf::msg::InvalidFieldType, "PRICE", static_cast<int>(c.Type)))
                        << what;
                }
                EXPECT_EQ(def.FieldType(), ftUnknown) << what;
            } else {
                def.SetFieldType(c.Type);
                EXPECT_EQ(def.NativeFieldType(), letter) << what;
                EXPECT_EQ(def.FieldType(), c.Type) << what;
            }
        }
    }
}

TEST(FieldDefsType, UnsupportedTypeMessageShowsHexNumber) {
    dbf::TFieldDescriptors defs(dbf::xBaseIV);
    try {
        defs.Add("PIC", ftTypedBinary, 0, false);
        FAIL() << "no exception";
    } catch (const dbf::ETableError& e) {
        EXPECT_STREQ(e.what(), "Cannot create field \"PIC\", VCL field type 15 not supported by DBF.");
    }
    EXPECT_EQ(defs.Count(), 0);
}

struct TDefaultCase {
    dbf::TXBaseVersion Version;
    TFieldType Type;
    int Size;  // as given to Add; 0 = none
    char Letter;
    int ExpectedSize;
    int ExpectedPrecision;
};

TEST(FieldDefsAdd, AppliesDefaultWidthsThenNormalises) {
    const TDefaultCase cases[] = {
        {dbf::xBaseIV, ftString, 0, 'C', 30, 0},      {dbf::xBaseIV, ftString, 10, 'C', 10, 0},
        {dbf::xBaseIV, ftFloat, 0, 'N', 18, 8},       {dbf::xBaseIV, ftSmallint, 0, 'N', 4, 0},
        {dbf::xBaseIV, ftInteger, 0, 'N', 9, 0},      {dbf::xBaseVII, ftInteger, 0, 'I', 4, 0},
        {dbf::xBaseVII, ftAutoInc, 0, '+', 4, 0},     {dbf::xBaseIV, ftLargeint, 0, 'N', 18, 0},
        {dbf::xFoxPro, ftCurrency, 0, 'Y', 8, 4},     {dbf::xBaseIV, ftBoolean, 0, 'L', 1, 0},
        {dbf::xBaseIV, ftMemo, 0, 'M', 10, 0},        {dbf::xFoxPro, ftMemo, 0, 'M', 4, 0},
        {dbf::xBaseIV, ftDateTime, 0, 'D', 8, 0},     {dbf::xBaseIV, ftFloat, 25, 'N', 20, 0},
    };
    for (const auto& c : cases) {
        dbf::TFieldDescriptors defs(c.Version);
        const dbf::TFieldDescriptor& def = defs.Add("F", c.Type, c.Size, true);
        const std::string what = "type " + std::to_string(static_cast<int>(c.Type)) + " size " + std::to_string(c.Size);
        EXPECT_EQ(def.NativeFieldType(), c.Letter) << what;
        EXPECT_EQ(def.Size(), c.ExpectedSize) << what;
        EXPECT_EQ(def.Precision(), c.ExpectedPrecision) << what;
        EXPECT_TRUE(def.Required()) << what;
        EXPECT_EQ(def.FieldName(), "F");
    }
}

TEST(FieldDefsNormalise, NumericDecimalsFollowWidthChanges) {
    dbf::TFieldDescriptors defs(dbf::xBaseIV);
    dbf::TFieldDescriptor& def = defs.Add("N", ftFloat, 20, false);
    def.SetPrecision(19);
    EXPECT_EQ(def.Precision(), 18);
    def.SetSize(5);
    EXPECT_EQ(def.Precision(), 3);
    EXPECT_EQ(def.FieldType(), ftFloat);
}

TEST(FieldDefsNew, StartsEmpty) {
    dbf::TFieldDescriptors defs(dbf::xBaseIV);
    dbf::TFieldDescriptor& def = defs.AddFieldDef();
    EXPECT_EQ(def.CopyFrom(), -1);
    EXPECT_EQ(def.NullPosition(), -1);
    EXPECT_EQ(def.Size(), 0);
    EXPECT_EQ(def.NativeFieldType(), 0);
    EXPECT_EQ(def.DefaultBuf(), nullptr);
    EXPECT_EQ(def.Index(), 0);
}

TEST(FieldDefsAssign, CopiesEveryPropertyAndRemembersTheSource) {
    dbf::TFieldDescriptors source(dbf::xBaseVII);
    source.Add("A", ftString, 5, false);
    dbf::TFieldDescriptor& from = source.Add("COUNT", ftInteger, 0, true);
    from.SetOffset(6);
    from.SetAutoInc(42);
    from.SetIsLockField(true);
    from.SetNullPosition(2);
    from.AllocBuffers();
    std::memcpy(from.MaxBuf(), "\x80\x00\x00\x09", 4);
    from.SetHasMax(true);

    dbf::TFieldDescriptors target(dbf::xBaseVII);
    dbf::TFieldDescriptor& to = target.AddFieldDef();
    to.Assign(from);
    EXPECT_EQ(to.FieldName(), "COUNT");
    EXPECT_EQ(to.FieldType(), ftInteger);
    EXPECT_EQ(to.NativeFieldType(), 'I');
    EXPECT_EQ(to.Size(), 4);
    EXPECT_TRUE(to.Required());
    EXPECT_TRUE(to.IsLockField());
    EXPECT_EQ(to.NullPosition(), 2);
    EXPECT_EQ(to.Offset(), 6);
    EXPECT_EQ(to.AutoInc(), 42u);
    EXPECT_EQ(to.CopyFrom(), 1);
    ASSERT_NE(to.MaxBuf(), nullptr);
    EXPECT_TRUE(to.HasMax());
    EXPECT_FALSE(to.HasMin());
    EXPECT_EQ(std::memcmp(to.MaxBuf(), "\x80\x00\x00\x09", 4), 0);
    EXPECT_NE(to.MaxBuf(), from.MaxBuf());
}

TEST(FieldDefsAssign, FromPlatformDefinitionDerivesLetterAndDefaults) {
    dbf::TFieldDescriptors defs(dbf::xBaseIV);
    dbf::TFieldDescriptor& def = defs.AddFieldDef();
    def.SetOffset(9);
    def.SetHasDefault(true);
    def.Assign(dbf::TPlatformFieldDef{"PRICE", ftFloat, 0, 2, true, 3});
    EXPECT_EQ(def.NativeFieldType(), 'N');
    EXPECT_EQ(def.Size(), 18);
    EXPECT_EQ(def.Precision(), 8);
    EXPECT_EQ(def.CopyFrom(), 3);
    EXPECT_EQ(def.Offset(), 0);
    EXPECT_FALSE(def.HasDefault());
    EXPECT_NE(def.DefaultBuf(), nullptr);
    EXPECT_EQ(def.MinBuf() - def.DefaultBuf(), 18);

    def.Assign(dbf::TPlatformFieldDef{"NAME", ftString, 300, 0, false, 0});
    EXPECT_EQ(def.Size(), 255);
    dbf::TPlatformFieldDef out;
    def.AssignTo(out);
    EXPECT_EQ(out.Name, "NAME");
    EXPECT_EQ(out.DataType, ftString);
    EXPECT_EQ(out.Size, 255);
    EXPECT_FALSE(out.Required);
}

TEST(FieldDefsBlob, IsBlobForMemoGeneralAndBinary) {
    dbf::TFieldDescriptors defs(dbf::xBaseIV);
    for (const char letter : {'B', 'G', 'M', 'C', 'N', 'L', 'D'}) {
        dbf::TFieldDescriptor& def = defs.AddFieldDef();
        def.SetNativeFieldType(letter);
        EXPECT_EQ(def.IsBlob(), letter == 'B' || letter == 'G' || letter == 'M') << letter;
    }
}

}  // namespace
