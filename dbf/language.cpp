#include "dbf/language.h"

#include "dbf/common.h"
#include "dbf/messages.h"
#include "dbf/platform/machine.h"
#include "dbf/platform/text.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cstring>

namespace dbf {

namespace {

struct TLangRow {
    uint8_t Id;
    uint16_t CodePage;
    uint32_t Locale;
    const char* Code;  // nullptr for a marker row
    uint32_t Marker;
};

// The language drivers that dBASE and FoxPro define. Ids not listed have no
// code page, no locale and no locale code.
constexpr TLangRow kLangRows[] = {
    {0x00, 0, 0x10000, nullptr, LANG_NO_DRIVER},
    {0x01, 437, 0x0409, "US0", 0},   {0x02, 850, 0x0809, "UK0", 0},
    {0x03, 1252, 0x0809, "UK0", 0},  {0x04, 10000, 0x0809, "UK0", 0},
    {0x08, 865, 0x0406, "DA0", 0},   {0x09, 437, 0x0413, "NL0", 0},
    {0x0A, 850, 0x0413, "NL0", 0},   {0x0B, 437, 0x040B, "FI0", 0},
    {0x0C, 850, 0x040B, "FI0", 0},   {0x0D, 437, 0x040C, "FR0", 0},
    {0x0E, 850, 0x040C, "FR0", 0},   {0x0F, 437, 0x0407, "DE0", 0},
    {0x10, 850, 0x0407, "DE0", 0},   {0x11, 437, 0x0410, "IT0", 0},
    {0x12, 850, 0x0410, "IT1", 0},   {0x13, 932, 0x0411, "JP0", 0},
    {0x14, 850, 0x040A, "ES0", 0},   {0x15, 437, 0x041D, "SV0", 0},
    {0x16, 850, 0x041D, "SV1", 0},   {0x17, 865, 0x0414, "NO0", 0},
    {0x18, 437, 0x040A, "ES1", 0},   {0x19, 437, 0x0809, "UK0", 0},
    {0x1A, 850, 0x0809, "UK0", 0},   {0x1B, 437, 0x0409, "US0", 0},
    {0x1C, 863, 0x0C0C, "CF1", 0},   {0x1D, 850, 0x0C0C, "CF1", 0},
    {0x1F, 852, 0x0405, "CZ0", 0},   {0x20, 867, 0x0405, "CZ0", 0},
    {0x22, 852, 0x040E, "HDC", 0},   {0x23, 852, 0x0415, "PO0", 0},
    {0x24, 860, 0x0416, "PT0", 0},   {0x25, 850, 0x0416, "PT0", 0},
    {0x26, 866, 0x0419, "RU0", 0},   {0x37, 850, 0x0409, "US0", 0},
    {0x4D, 936, 0x0804, "CN0", 0},   {0x4E, 949, 0x0412, "KO0", 0},
    {0x4F, 950, 0x0404, "TW0", 0},   {0x50, 874, 0x041E, "TH0", 0},
    {0x56, 932, 0x0411, "JP1", 0},   {0x57, 1252, 0x0000, "US0", 0},
    {0x58, 1252, 0x0809, "WE0", 0},  {0x59, 1252, 0x040A, "ES0", 0},
    {0x5E, 437, 0x0407, "DE", 0},    {0x5F, 437, 0x0414, "NO", 0},
    {0x60, 850, 0x0414, "NO", 0},    {0x61, 1252, 0x0407, "DE", 0},
    {0x62, 1252, 0x0414, "NO", 0},   {0x64, 852, 0x0405, "CZ0", 0},
    {0x65, 866, 0x0419, "RU0", 0},   {0x66, 865, 0x0414, "NO", 0},
    {0x67, 861, 0x040F, "IC0", 0},   {0x68, 895, 0x0405, "CZ0", 0},
    {0x69, 620, 0x0415, "PO1", 0},   {0x6A, 737, 0x0408, "GR0", 0},
    {0x6B, 857, 0x041F, "TR0", 0},   {0x78, 950, 0x0C04, "CH0", 0},
    {0x79, 949, 0x0412, "KO0", 0},   {0x7A, 936, 0x21004, "CS0", 0},
    {0x7B, 932, 0x0411, "JP0", 0},   {0x7C, 874, 0x041E, "TH0", 0},
    {0x7D, 1255, 0x040D, "REW", 0},  {0x7E, 1256, 0x0401, "AR0", 0},
    {0x85, 862, 0x040D, "REW", 0},   {0x86, 437, 0x0408, "GR0", 0},
    {0x87, 852, 0x041B, "SL0", 0},   {0x88, 857, 0x041F, "TR0", 0},
    {0x8E, 868, 0x0402, nullptr, LANG_BGDB868},
    {0x96, 10007, 0x0419, "RU0", 0}, {0x97, 10029, 0x0405, "CZ0", 0},
    {0x98, 10006, 0x0408, "GR0", 0}, {0x9B, 1250, 0x0405, "", 0},
    {0x9C, 850, 0x0405, "", 0},      {0xC8, 1250, 0x0405, "CZ0", 0},
    {0xC9, 1251, 0x0419, "RU0", 0},  {0xCA, 1254, 0x041F, "TR0", 0},
    {0xCB, 1253, 0x0408, "GR0", 0},
};

const std::array<TLangDriver, 256>& LangDrivers() {
    static const std::array<TLangDriver, 256> table = [] {
        std::array<TLangDriver, 256> t{};
        for (const TLangRow& row : kLangRows)
            t[row.Id] = {row.CodePage, row.Locale, row.Code ? PackLocaleCode(row.Code) : row.Marker};
        return t;
    }();
    return table;
}

// Rows that the table leaves empty are no drivers and never match a search.
bool IsListed(int id) { return id == 0 || LangDrivers()[static_cast<size_t>(id)].CodePage != 0; }

std::string LocaleCodeText(uint32_t code) {
    std::string text;
    for (int shift = 0; shift < 24; shift += 8) {
        const char c = static_cast<char>((code >> shift) & 0xFF);
        if (c == 0) break;
        text += c;
    }
    return text;
}

std::string AsciiUpper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string Part(const std::string& text, size_t first, size_t count) {
    return first >= text.size() ? std::string() : text.substr(first, count);
}

std::string CodePageText(int codePage) { return codePage == 1252 ? "WIN" : std::to_string(codePage); }

// Decimal digits with an optional sign, nothing else.
bool ParseInt(const std::string& text, int& value) {
    const char* first = text.data();
    const char* last = first + text.size();
    if (first != last && *first == '+') ++first;
    const auto [ptr, ec] = std::from_chars(first, last, value);
    return ec == std::errc() && ptr == last && first != last;
}

int NumberOrZero(const std::string& text) {
    int value = 0;
    return ParseInt(text, value) ? value : 0;
}

}  // namespace

const TLangDriver& LangDriver(uint8_t id) { return LangDrivers()[id]; }

bool IsDbaseClassLangId(uint8_t id) { return id == 0 || (id >= 0x05 && id <= 0x5D); }

uint32_t PackLocaleCode(const std::string& letters) {
    uint32_t code = 0;
    for (size_t i = 0; i < letters.size() && i < 3; ++i)
        code |= static_cast<uint32_t>(static_cast<unsigned char>(letters[i])) << (8 * i);
    return code;
}

uint8_t FindLangId(int codePage, uint32_t key, TLangColumn column, bool isFoxPro) {
    int dbaseMatch = -1;
    int foxMatch = -1;
    for (int id = 0; id < 256; ++id) {
        const TLangDriver& row = LangDrivers()[static_cast<size_t>(id)];
        const uint32_t value = column == TLangColumn::Locale ? row.Locale : row.LocaleCode;
        if (!IsListed(id) || value != key) continue;
        if (codePage != 0 && row.CodePage != codePage) continue;
        (IsDbaseClassLangId(static_cast<uint8_t>(id)) ? dbaseMatch : foxMatch) = id;
    }
    if (dbaseMatch >= 0 && (!isFoxPro || foxMatch < 0)) return static_cast<uint8_t>(dbaseMatch);
    return foxMatch >= 0 ? static_cast<uint8_t>(foxMatch) : 0;
}

uint8_t ConstructLangId(int codePage, uint32_t locale, bool isFoxPro) {
    locale &= 0xFFFF;
    const uint8_t id = FindLangId(codePage, locale, TLangColumn::Locale, isFoxPro);
    return id != 0 ? id : FindLangId(0, locale, TLangColumn::Locale, isFoxPro);
}

std::string ConstructLangName(int codePage, uint32_t locale, bool isFoxPro) {
    const uint32_t code = LangDriver(ConstructLangId(codePage, locale, isFoxPro)).LocaleCode;
    if (code == LANG_NO_DRIVER) return std::string();
    if (isFoxPro) return "FOX" + LocaleCodeText(code) + CodePageText(codePage);
    if (code == LANG_BGDB868) return "BGDB868";
    return "DB" + CodePageText(codePage) + LocaleCodeText(code);
}

uint8_t GetLangId_From_LangName(const std::string& langName) {
    const std::string name = AsciiUpper(langName);
    const bool foxStyle = name.rfind("FOX", 0) == 0;
    std::string cpPart = foxStyle ? Part(name, 5, 3) : Part(name, 2, 3);
    std::string code = foxStyle ? Part(name, 3, 2) : Part(name, 5, 3);
    // "dbHebrew" spells its code page as a word; read it as the Hebrew page.
    if (!foxStyle && Part(name, 2, 6) == "HEBREW") cpPart = "REW";
    int codePage = 0;
    if (cpPart == "WIN")
        codePage = 1252;
    else if (cpPart == "REW")
        codePage = 1255;
    else if (!ParseInt(cpPart, codePage))
        throw ETableError(Format(msg::InvalidInteger, cpPart.c_str()));
    return FindLangId(codePage, PackLocaleCode(code), TLangColumn::LocaleCode, foxStyle);
}

int GetCodePageFromLangName(const std::string& langName) {
    const std::string name = AsciiUpper(langName);
    if (name.rfind("DB", 0) == 0) {
        if (Part(name, 2, 3) == "WIN") return 1252;
        if (Part(name, 2, 6) == "HEBREW") return 1255;
        std::string digits = Part(name, 2, 3);
        if (name.size() > 5 && std::isdigit(static_cast<unsigned char>(name[5]))) digits += name[5];
        return NumberOrZero(digits);
    }
    if (name.rfind("FOX", 0) == 0) {
        if (Part(name, 5, 3) == "WIN") return 1252;
        return NumberOrZero(Part(name, 5, 3));
    }
    return 0;
}

int TableCodePage(TXBaseVersion version, uint8_t languageByte, const std::string& langName) {
    return version == xBaseVII ? GetCodePageFromLangName(langName) : LangIdCodePage(languageByte);
}

int UseCodePage(int fileCodePage) { return fileCodePage != 0 ? fileCodePage : EngineGlobals().DefaultOpenCodePage(); }

int TranslateString(int fromCP, int toCP, const char* Src, char* Dest, int Length) {
    if (Length < 0) Length = static_cast<int>(std::strlen(Src));
    const std::string_view source(Src, static_cast<size_t>(Length));
    if (fromCP == toCP) {
        if (Src != Dest) std::memmove(Dest, Src, source.size());
        return Length;
    }
    std::string converted;
    if (fromCP == platform::OemCodePage() && toCP == platform::AnsiCodePage())
        converted = platform::OemToAnsi(source);
    else if (fromCP == platform::AnsiCodePage() && toCP == platform::OemCodePage())
        converted = platform::AnsiToOem(source);
    else
        converted = platform::Utf16ToCodePagePrefix(toCP, platform::CodePageToUtf16(fromCP, source),
                                                     source.size());
    const size_t count = std::min(converted.size(), source.size());
    std::memcpy(Dest, converted.data(), count);
    if (count < source.size()) Dest[count] = '\0';
    return static_cast<int>(count);
}

TEngineGlobals::TEngineGlobals()
    : FDefaultOpenCodePage(platform::AnsiCodePage()),
      FDefaultCreateLangId(ConstructLangId(platform::AnsiCodePage(), platform::UserDefaultLCID(), false)),
      FUserName(platform::ComputerName(16)),
      FUserNameLen(static_cast<uint32_t>(FUserName.size())) {
    std::vector<int> candidates;
    for (const TLangDriver& row : LangDrivers())
        if (row.CodePage != 0) candidates.push_back(row.CodePage);
    for (int cp : platform::InstalledCodePages(candidates)) FCodePages.push_back(cp);
}

void TEngineGlobals::SetDefaultCreateCodePage(int codePage) {
    FDefaultCreateLangId = ConstructLangId(codePage, platform::UserDefaultLCID(), false);
}

bool TEngineGlobals::CodePageInstalled(int codePage) const {
    return std::find(FCodePages.begin(), FCodePages.end(), codePage) != FCodePages.end();
}

TEngineGlobals& EngineGlobals() {
    static TEngineGlobals globals;
    return globals;
}

}  // namespace dbf
