// Writes the seed corpus of the fuzz targets into fuzz/corpus/<target>/:
// the engine's own sample tables and memo files of every dialect, damaged
// variants of them (each seed one kind of damage), list files in every
// encoding, JSON Lines input for the append command and expression texts.
// Run it after a change to the sample tables: fuzz_make_corpus <fuzz-folder>.
#include "FuzzSupport.h"

#include "app/ListFile.h"

#include <cstdio>
#include <functional>
#include <string>

namespace {

using namespace std::string_literals;
using TBytes = std::vector<uint8_t>;

void Seed(const std::filesystem::path& folder, const std::string& name, const TBytes& bytes) {
    std::filesystem::create_directories(folder);
    fuzz::WriteFile((folder / name).string(), bytes);
}

void PutLE16(TBytes& bytes, size_t at, uint16_t value) {
    bytes[at] = static_cast<uint8_t>(value);
    bytes[at + 1] = static_cast<uint8_t>(value >> 8);
}

void PutLE32(TBytes& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

void PutBE32(TBytes& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * (3 - i)));
}

TBytes Changed(TBytes bytes, const std::function<void(TBytes&)>& change) {
    change(bytes);
    return bytes;
}

uint16_t FullHeaderSize(const TBytes& table) { return static_cast<uint16_t>(table[8] | table[9] << 8); }

// The table damages that the open must survive, applied to a sample table.
void WriteTableSeeds(const std::filesystem::path& folder) {
    for (int level : fuzz::kSampleLevels) {
        const TBytes table = fuzz::MakeSampleTable(fuzz::TScratchFolder(), level).Table;
        const std::string base = "level" + std::to_string(level);
        Seed(folder, base + ".dbf", table);
        if (level != 4) continue;
        Seed(folder, base + "-header-size-0.dbf", Changed(table, [](TBytes& b) { PutLE16(b, 8, 0); }));
        Seed(folder, base + "-record-size-0.dbf", Changed(table, [](TBytes& b) { PutLE16(b, 10, 0); }));
        Seed(folder, base + "-record-size-huge.dbf", Changed(table, [](TBytes& b) { PutLE16(b, 10, 60000); }));
        Seed(folder, base + "-header-size-huge.dbf", Changed(table, [](TBytes& b) { PutLE16(b, 8, 65535); }));
        Seed(folder, base + "-count-larger.dbf", Changed(table, [](TBytes& b) { PutLE32(b, 4, 0x7FFFFFFF); }));
        Seed(folder, base + "-count-smaller.dbf", Changed(table, [](TBytes& b) { PutLE32(b, 4, 1); }));
        Seed(folder, base + "-truncated-record.dbf", Changed(table, [](TBytes& b) { b.resize(b.size() - 7); }));
        Seed(folder, base + "-no-terminator.dbf",
             Changed(table, [](TBytes& b) { b[FullHeaderSize(b) - 1] = 'X'; }));
        Seed(folder, base + "-zero-width-field.dbf", Changed(table, [](TBytes& b) { b[32 + 16] = 0; }));
        Seed(folder, base + "-memo-block-huge.dbf", Changed(table, [](TBytes& b) {
                 // The TEXT field of the first record: ten digits of a block far beyond any memo file.
                 const size_t at = FullHeaderSize(b) + 1 + 10 + 9 + 18 + 1 + 8;
                 for (size_t i = 0; i < 10; ++i) b[at + i] = '9';
             }));
    }
}

// The memo damages: seeds are the selector byte of the sample table, then the memo file.
void WriteMemoSeeds(const std::filesystem::path& folder) {
    for (size_t selector = 0; selector < std::size(fuzz::kSampleLevels); ++selector) {
        const int level = fuzz::kSampleLevels[selector];
        TBytes memo = fuzz::MakeSampleTable(fuzz::TScratchFolder(), level).Memo;
        memo.insert(memo.begin(), static_cast<uint8_t>(selector));
        const size_t header = 1;  // the memo file starts behind the selector
        const bool foxPro = level == 25;
        const std::string base = "level" + std::to_string(level);
        Seed(folder, base + ".memo", memo);
        Seed(folder, base + "-block-size-0.memo",
             Changed(memo, [&](TBytes& b) { PutLE16(b, header + (foxPro ? 6 : 20), 0); }));
        Seed(folder, base + "-next-block-huge.memo", Changed(memo, [&](TBytes& b) {
                 foxPro ? PutBE32(b, header, 0xFFFFFFF0) : PutLE32(b, header, 0xFFFFFFF0);
             }));
        Seed(folder, base + "-truncated.memo", Changed(memo, [](TBytes& b) { b.resize(b.size() / 2); }));
        if (level == 3) {
            Seed(folder, base + "-no-terminator.memo", Changed(memo, [&](TBytes& b) {
                     for (size_t i = header + 512; i < b.size(); ++i)
                         if (b[i] == 0x1A) b[i] = 'x';
                 }));
        } else {
            const size_t blockSize = 512;  // every sample memo file has 512-byte blocks
            Seed(folder, base + "-length-gigabytes.memo", Changed(memo, [&](TBytes& b) {
                     const size_t field = header + blockSize + 4;
                     foxPro ? PutBE32(b, field, 0xFFFFFF00) : PutLE32(b, field, 0xFFFFFF00);
                 }));
        }
    }
}

TBytes FromQt(const QByteArray& bytes) { return TBytes(bytes.begin(), bytes.end()); }

TBytes Raw(const std::string& bytes) { return TBytes(bytes.begin(), bytes.end()); }

void WriteListFileSeeds(const std::filesystem::path& folder) {
    const QString text = QString::fromUtf8("101\r\n2.04\r\nTb 3\r\n\xC3\xA4\xC3\xB6\xC3\xBC\r\n");
    Seed(folder, "ansi.lis", FromQt(EncodeListText(text, TListEncoding::Ansi)));
    Seed(folder, "utf8.lis", FromQt(EncodeListText(text, TListEncoding::Utf8)));
    Seed(folder, "utf16le.lis", FromQt(EncodeListText(text, TListEncoding::Utf16LE)));
    Seed(folder, "utf16be.lis", FromQt(EncodeListText(text, TListEncoding::Utf16BE)));
    Seed(folder, "mixed-breaks.lis", Raw("1\n2\r3\n\r4\r\n\r\n5"s));
    Seed(folder, "nul-inside.lis", Raw("7\r\n8\0" "9\r\n"s));
    Seed(folder, "odd-utf16.lis", Raw("\xFF\xFE" "1\0\r"s));
}

TBytes Text(uint8_t selector, const std::string& text) {
    TBytes bytes{selector};
    bytes.insert(bytes.end(), text.begin(), text.end());
    return bytes;
}

void WriteAppendSeeds(const std::filesystem::path& folder) {
    const std::string common =
        "{\"NAME\":\"Tb 4\",\"COUNT\":42,\"PRICE\":1.5,\"OK\":true,\"DAY\":\"2024-03-05\",\"TEXT\":\"Frage\"}\n"
        "\n"
        "{\"name\":null,\"count\":-7,\"ok\":false,\"_recno\":3}\n"
        "{\"COUNT\":\"zwölf\"}\n"
        "{\"DAY\":\"2024-13-40\",\"PRICE\":1e308}\n"
        "[1,2]\n"
        "{\"NAME\":\"a very long name that does not fit\",\"COUNT\":18446744073709551615}\n"
        "{\"NOSUCH\":1}\n"
        "not json\n";
    Seed(folder, "level3.jsonl", Text(0, common));
    Seed(folder, "level4.jsonl", Text(1, common));
    Seed(folder, "level7.jsonl",
         Text(2, common + "{\"STAMP\":\"2024-03-05T12:30:00.250\",\"DATA\":\"00ff10\",\"ID\":5}\n"
                          "{\"DATA\":\"xyz\"}\n"));
    Seed(folder, "level25.jsonl",
         Text(3, common + "{\"STAMP\":\"2024-03-05T06:00:00.000\",\"MONEY\":12.3456,\"NOTE\":\"Notiz\"}\n"));
    // CSV input: bit 2 of the selector.
    const uint8_t csv = 4;
    Seed(folder, "level4-semicolon.csv",
         Text(csv | 1, "\xEF\xBB\xBFname;Count;OK;DAY;TEXT\r\n"
                       "Tb 4;42;wahr;2024-03-05;\"Frage\r\nmit \"\"Zitat\"\" und ä\"\r\n"
                       "\r\n;;;;\r\n"
                       "x;-7;nein;;\r\n"
                       "y;zwölf;x;2024-13-40;\"offen\r\n"));
    Seed(folder, "level3-comma.csv",
         Text(csv | 0, "NAME,COUNT,OK,_recno\n\"a, b\",1,ja,3\nc,2,vielleicht,4\nd\n\"e\"x,3,0,5\n"));
    Seed(folder, "level7-header-faults.csv", Text(csv | 2, "NAME,name,NOSUCH\n1,2,3\n"));
}

// Expressions from the expression tests, each seed the selector byte (dialect
// and parser settings, see fuzz_expr.cpp) followed by the text.
void WriteExpressionSeeds(const std::filesystem::path& folder) {
    const char* const texts[] = {
        "NAME", "UPPER(NAME)", "ZAHL * 2 + 1", "7 - 2 - 1", "100 / 10 / 5", "NOT AKTIV = AKTIV",
        "(((ZAHL)))", "(ZAHL)+(ZAHL)", "-7 / 2", "ZAHL > -5", "GROSS + 1", "BETRAG * 2", "$1F + 1",
        "2147483647 + 1", "ZAHL / 0", "STR(BETRAG, 8, 2)", "STR(ZAHL, 5) + STR(-7)", "DTOS(DATUM)",
        "SUBSTR(NAME, 2, 3)", "SUBS(NAME, 0, -1)", "LOWER(NAME) + UPPER('ab')", "NAME = 'M*'", "NAME = '*yr'",
        "NAME = '*ll*'", "'ay' $ NAME", "NAME < 'N' .AND. .NOT. DELETED()", "TRIM(NAME) + '|' + LTRIM(NAME)",
        "LEFT(NAME, 3) + RIGHT(NAME, 2)", "IIF(AKTIV, 'ja', 'nein')", "IIF(ZAHL < 0, GROSS, GROSS + 1)",
        "VAL(' 12.5x') + BETRAG", "DTOS(CTOD('02/29/2024'))", "DTOC(DATUM) + DTOC(CTOD(''))",
        "YEAR(DATUM) * 10000 + MONTH(DATUM) * 100 + DAY(DATUM)", "DATUM + 1 > DATUM", "DATUM - DATUM",
        "STR(RECNO()) + IIF(DELETED(), '*', ' ')", "YEAR(DATE()) > 2000", "GANZ + 1", "ZEIT > DATUM",
        "DOPPELT / 3", "GELD * 2", "FLIESS - BETRAG", "NOTIZ", "UPPER(NAME", "NAME NAME", "SUBSTR(NAME, 1)",
        "UPPER(5)", "NAME + 5", "'offen", "1e5", ".T. .OR. .F.", "((ZAHL)", "UPPER(NAME) UPPER(NAME)",
    };
    const uint8_t selectors[] = {0x00, 0x05, 0x0A, 0x13, 0x21, 0x2C};
    int number = 0;
    for (const char* text : texts) {
        const uint8_t selector = selectors[number % std::size(selectors)];
        char name[32];
        std::snprintf(name, sizeof name, "expr-%02d.txt", number++);
        Seed(folder, name, Text(selector, text));
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <fuzz-folder>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path corpus = std::filesystem::path(argv[1]) / "corpus";
    WriteTableSeeds(corpus / "fuzz_table");
    WriteMemoSeeds(corpus / "fuzz_memo");
    WriteListFileSeeds(corpus / "fuzz_listfile");
    WriteAppendSeeds(corpus / "fuzz_append");
    WriteExpressionSeeds(corpus / "fuzz_expr");
    return 0;
}
