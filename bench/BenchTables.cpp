#include "bench/BenchTables.h"

#include "bench/ScratchFolder.h"

#include <cstdio>
#include <map>
#include <stdexcept>
#include <utility>

namespace bench {

namespace {

constexpr uint8_t kLanguageAnsi1252 = 0x57;
constexpr double kFirstSinceDay = 45292.0;  // 1 January 2024 as a TDateTime
constexpr int kQuestionTextBytes = 160;
constexpr int kAnswerTextBytes = 60;
constexpr double kFirstPaymentDay = 43831.0;  // 1 January 2020 as a TDateTime
constexpr int64_t kPaymentDays = 2000;
constexpr int64_t kUnixDayOfDayZero = -25569;  // 30 December 1899, the TDateTime day 0

const char* const kPaymentNames[] = {"Meier", "Schmidt", "MEIER", "Weber", "meier",
                                     "M\xfcller", "Maier", "Meyer", "Meierhof", "Fischer"};
const char* const kPaymentPlaces[] = {"Berlin", "Bremen", "Bern", "Hamburg", "M\xfcnchen", "K\xf6ln", "Bergen"};

void CreateFromDefs(const std::string& folder, const std::string& name, int level,
                    const std::function<void(dbf::TFieldDescriptors&)>& addDefs) {
    dbf::TTable table;
    UseTable(table, folder, name, true);
    table.SetTableLevel(level);
    table.SetLanguageID(kLanguageAnsi1252);
    dbf::TFieldDescriptors defs(level == kLevelFoxPro ? dbf::xFoxPro : dbf::xBaseIV);
    addDefs(defs);
    table.CreateTableEx(&defs);
}

void AddNative(dbf::TFieldDescriptors& defs, const std::string& name, char letter, int size, int decimals = 0) {
    dbf::TFieldDescriptor& def = defs.AddFieldDef();
    def.SetFieldName(name);
    def.SetNativeFieldType(letter);
    def.SetSize(size);
    def.SetPrecision(decimals);
    def.SetNativeFieldType(letter);  // the data type follows the final width
}

void AddQuestionDefs(dbf::TFieldDescriptors& defs) {
    AddNative(defs, "KAPITEL", 'C', 10);
    AddNative(defs, "FRAGENR", 'C', 10);
    AddNative(defs, "FRAGE", 'M', 10);
    for (int n = 1; n <= 7; ++n) {
        AddNative(defs, "ANTWORT" + std::to_string(n), 'M', 10);
        AddNative(defs, "ANT" + std::to_string(n) + "KORREK", 'L', 1);
    }
}

std::string Padded(const char* format, int64_t value) {
    char text[32];
    std::snprintf(text, sizeof text, format, static_cast<long long>(value));
    return text;
}

void FillQuestion(dbf::TTable& table, int64_t i, int64_t records) {
    ds::TFields& fields = table.Fields();
    fields[0].SetAsString(std::to_string(i % kQuestionChapters + 1));
    fields[1].SetAsString(QuestionNumber(i, records));
    fields[2].SetAsString(MemoText(i, kQuestionTextBytes));
    fields[3].SetAsString(MemoText(i + 1, kAnswerTextBytes));
    fields[4].SetAsBoolean(true);
    if (i % 3 != 0) {  // every third question has a written-out answer
        fields[5].SetAsString(MemoText(i + 2, kAnswerTextBytes));
        fields[6].SetAsBoolean(false);
    }
}

// The calendar date of a day count since 1970-01-01, as YYYY-MM-DD
// (the proleptic Gregorian calendar, after H. Hinnant's days_from_civil inverse).
std::string CivilDate(int64_t unixDay) {
    const int64_t z = unixDay + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int64_t day = doy - (153 * mp + 2) / 5 + 1;
    const int64_t month = mp < 10 ? mp + 3 : mp - 9;
    const int64_t year = yoe + era * 400 + (month <= 2);
    char text[16];
    std::snprintf(text, sizeof text, "%04lld-%02lld-%02lld", static_cast<long long>(year),
                  static_cast<long long>(month), static_cast<long long>(day));
    return text;
}

TScratchFolder& CacheFolder() {
    static TScratchFolder folder;
    return folder;
}

template <typename Build>
const TBenchTable& Cached(std::map<int64_t, TBenchTable>& cache, const std::string& stem, int64_t records,
                         Build build) {
    auto found = cache.find(records);
    if (found != cache.end()) return found->second;
    TBenchTable file{CacheFolder().Path(), stem + std::to_string(records) + ".dbf"};
    build(file);
    return cache.emplace(records, std::move(file)).first->second;
}

}  // namespace

void UseTable(dbf::TTable& table, const std::string& folder, const std::string& name, bool exclusive) {
    table.SetFilePath(folder);
    table.SetTableName(name);
    table.SetExclusive(exclusive);
}

void CreateWalkTable(const std::string& folder, const std::string& name) {
    CreateFromDefs(folder, name, kLevelDbase4, [](dbf::TFieldDescriptors& defs) {
        AddNative(defs, "NAME", 'C', 10);
        AddNative(defs, "CITY", 'C', 10);
        AddNative(defs, "AMOUNT", 'N', 8);
        AddNative(defs, "ACTIVE", 'L', 1);
        AddNative(defs, "SINCE", 'D', 8);
    });
}

void SetWalkRecord(dbf::TTable& table, int64_t i) {
    ds::TFields& fields = table.Fields();
    fields[0].SetAsString(Padded("N%08lld", i));
    fields[1].SetAsString(Padded("CITY%03lld", i % 997));
    fields[2].SetAsInteger(static_cast<int32_t>(i % 10000000));
    fields[3].SetAsBoolean(i % 2 == 0);
    fields[4].SetAsDateTime(kFirstSinceDay + static_cast<double>(i % 3650));
}

void AppendWalkRecords(dbf::TTable& table, int64_t first, int64_t count) {
    for (int64_t i = first; i < first + count; ++i) {
        table.Append();
        SetWalkRecord(table, i);
        table.Post();
    }
}

std::string QuestionNumber(int64_t i, int64_t records) {
    const int64_t perChapter = (records + kQuestionChapters - 1) / kQuestionChapters;
    return Padded("%lld.", i % kQuestionChapters + 1) + Padded("%03lld", i / kQuestionChapters % perChapter + 1);
}

void CreateQuestionTable(const std::string& folder, const std::string& name, int64_t records) {
    CreateFromDefs(folder, name, kLevelDbase4, AddQuestionDefs);
    dbf::TTable table;
    UseTable(table, folder, name, true);
    table.Open();
    for (int64_t i = 0; i < records; ++i) {
        table.Append();
        FillQuestion(table, i, records);
        table.Post();
    }
    table.Close();
}

void CreateMemoTable(const std::string& folder, const std::string& name, int level) {
    CreateFromDefs(folder, name, level, [](dbf::TFieldDescriptors& defs) {
        AddNative(defs, "ID", 'N', 8);
        AddNative(defs, "TEXT", 'M', 10);
    });
}

std::string MemoText(int64_t i, int memoBytes) {
    static const std::string kWords = "Waffe Sachkunde Munition Aufbewahrung Erwerb Besitz Schiessstand ";
    std::string text;
    text.reserve(static_cast<size_t>(memoBytes));
    for (size_t k = static_cast<size_t>(i) % kWords.size(); text.size() < static_cast<size_t>(memoBytes); ++k)
        text += kWords[k % kWords.size()];
    return text;
}

// The table holds ANSI text; the names are given in ISO 8859-1 bytes above and
// passed on as UTF-8, the program's text.
std::string Utf8OfLatin1(const char* latin1) {
    std::string text;
    for (const char* c = latin1; *c; ++c) {
        const auto byte = static_cast<unsigned char>(*c);
        if (byte < 0x80) {
            text += static_cast<char>(byte);
        } else {
            text += static_cast<char>(0xC0 | (byte >> 6));
            text += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return text;
}

TPaymentRow PaymentRow(int64_t i) {
    constexpr int64_t kNames = sizeof kPaymentNames / sizeof kPaymentNames[0];
    constexpr int64_t kPlaces = sizeof kPaymentPlaces / sizeof kPaymentPlaces[0];
    TPaymentRow row;
    row.Name = Utf8OfLatin1(kPaymentNames[i % kNames]);
    row.Ort = Utf8OfLatin1(kPaymentPlaces[i / kNames % kPlaces]);
    row.Betrag = static_cast<double>(i * 7919 % 50000) / 100.0;
    row.Datum = CivilDate(static_cast<int64_t>(kFirstPaymentDay) + kUnixDayOfDayZero + i % kPaymentDays);
    return row;
}

namespace {

bool PaymentSelected(const std::string& expression, const TPaymentRow& row) {
    if (expression.empty()) return true;
    if (expression == kPaymentFilterUpper) {
        std::string upper = row.Name;
        for (char& c : upper)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        return upper == "MEIER" && row.Betrag > 100;
    }
    if (expression == kPaymentFilterDtos) return row.Datum >= "2023-01-01" && row.Ort.compare(0, 3, "Ber") == 0;
    throw std::invalid_argument("no expected count for the filter " + expression);
}

}  // namespace

int64_t ExpectedPaymentMatches(const std::string& expression, int64_t records) {
    int64_t matches = 0;
    for (int64_t i = 0; i < records; ++i) matches += PaymentSelected(expression, PaymentRow(i)) ? 1 : 0;
    return matches;
}

void CreatePaymentTable(const std::string& folder, const std::string& name, int64_t records) {
    CreateFromDefs(folder, name, kLevelDbase4, [](dbf::TFieldDescriptors& defs) {
        AddNative(defs, "NAME", 'C', 10);
        AddNative(defs, "ORT", 'C', 12);
        AddNative(defs, "BETRAG", 'N', 10, 2);
        AddNative(defs, "DATUM", 'D', 8);
    });
    dbf::TTable table;
    UseTable(table, folder, name, true);
    table.Open();
    ds::TFields& fields = table.Fields();
    for (int64_t i = 0; i < records; ++i) {
        const TPaymentRow row = PaymentRow(i);
        table.Append();
        fields[0].SetAsString(row.Name);
        fields[1].SetAsString(row.Ort);
        fields[2].SetAsFloat(row.Betrag);
        fields[3].SetAsDateTime(kFirstPaymentDay + static_cast<double>(i % kPaymentDays));
        table.Post();
    }
    table.Close();
}

const TBenchTable& CachedWalkTable(int64_t records) {
    static std::map<int64_t, TBenchTable> cache;
    return Cached(cache, "walk", records, [records](const TBenchTable& file) {
        CreateWalkTable(file.Folder, file.Name);
        dbf::TTable table;
        UseTable(table, file.Folder, file.Name, true);
        table.Open();
        AppendWalkRecords(table, 0, records);
        table.Close();
    });
}

const TBenchTable& CachedQuestionTable(int64_t records) {
    static std::map<int64_t, TBenchTable> cache;
    return Cached(cache, "fragen", records,
                  [records](const TBenchTable& file) { CreateQuestionTable(file.Folder, file.Name, records); });
}

const TBenchTable& CachedPaymentTable(int64_t records) {
    static std::map<int64_t, TBenchTable> cache;
    return Cached(cache, "zahlungen", records,
                  [records](const TBenchTable& file) { CreatePaymentTable(file.Folder, file.Name, records); });
}

}  // namespace bench
