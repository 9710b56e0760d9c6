#include "dbf/platform/text.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/ucol.h>
#include <unicode/uchar.h>
#include <unicode/utf8.h>
#include <unicode/uloc.h>
#include <unicode/unistr.h>
#include <unicode/unum.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <utility>

namespace dbf::platform {

namespace {

std::optional<std::string>& LocaleOverride() {
    static std::optional<std::string> value;
    return value;
}

std::string NonEmptyEnv(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

// "de_DE.UTF-8@euro" -> "de_DE"; "C" and "POSIX" -> "".
std::string StripCodeset(std::string name) {
    name = name.substr(0, name.find_first_of(".@"));
    if (name == "C" || name == "POSIX") return std::string();
    return name;
}

struct TLocaleParts {
    std::string Language;
    std::string Territory;
};

TLocaleParts SplitLocale(const std::string& name) {
    const size_t sep = name.find_first_of("_-");
    if (sep == std::string::npos) return {name, std::string()};
    return {name.substr(0, sep), name.substr(sep + 1)};
}

bool IsOneOf(const std::string& value, std::initializer_list<const char*> list) {
    return std::any_of(list.begin(), list.end(), [&](const char* item) { return value == item; });
}

// The desktop platform's ANSI code page per language (territory only for Chinese).
int AnsiCodePageFor(const TLocaleParts& loc) {
    const std::string& l = loc.Language;
    if (IsOneOf(l, {"de", "en", "fr", "es", "it", "nl", "pt", "da", "sv", "no", "nb", "nn",
                    "fi", "is", "ga", "ca", "eu", "gl"}))
        return 1252;
    if (IsOneOf(l, {"cs", "pl", "hu", "sk", "sl", "hr", "ro", "sq"})) return 1250;
    if (IsOneOf(l, {"ru", "uk", "be", "bg", "sr", "mk"})) return 1251;
    if (l == "el") return 1253;
    if (IsOneOf(l, {"tr", "az"})) return 1254;
    if (l == "he") return 1255;
    if (IsOneOf(l, {"ar", "fa", "ur"})) return 1256;
    if (IsOneOf(l, {"et", "lv", "lt"})) return 1257;
    if (l == "vi") return 1258;
    if (l == "th") return 874;
    if (l == "ja") return 932;
    if (l == "ko") return 949;
    if (l == "zh" && IsOneOf(loc.Territory, {"CN", "SG"})) return 936;
    if (l == "zh" && IsOneOf(loc.Territory, {"TW", "HK"})) return 950;
    return 1252;
}

int OemCodePageFor(const TLocaleParts& loc) {
    const std::string& l = loc.Language;
    if (l == "en" && loc.Territory == "US") return 437;
    if (IsOneOf(l, {"de", "en", "fr", "es", "it", "nl", "pt", "da", "sv", "no", "nb", "nn",
                    "fi", "is", "ga", "ca", "eu", "gl"}))
        return 850;
    if (IsOneOf(l, {"cs", "pl", "hu", "sk", "sl", "hr", "ro"})) return 852;
    if (IsOneOf(l, {"ru", "uk", "bg"})) return 866;
    if (l == "el") return 737;
    if (l == "tr") return 857;
    if (l == "he") return 862;
    if (l == "ar") return 720;
    if (IsOneOf(l, {"et", "lv", "lt"})) return 775;
    if (l == "th") return 874;
    if (l == "ja") return 932;
    if (l == "ko") return 949;
    if (l == "zh" && loc.Territory == "CN") return 936;
    if (l == "zh" && loc.Territory == "TW") return 950;
    return 437;
}

// ICU converter names of the Windows code pages whose character sets ICU
// holds. Numbers that ICU uses for other character sets (IBM 867 and 868 are
// Hebrew and Urdu there, not the dBASE pages of those numbers) are left out.
const char* IcuConverterName(int codePage) {
    static const std::map<int, const char*> names = {
        {437, "ibm-437"},          {720, "ibm-720"},          {737, "ibm-737"},
        {775, "ibm-775"},          {850, "ibm-850"},          {852, "ibm-852"},
        {857, "ibm-857"},          {860, "ibm-860"},          {861, "ibm-861"},
        {862, "ibm-862"},          {863, "ibm-863"},          {865, "ibm-865"},
        {866, "ibm-866"},          {874, "windows-874"},      {932, "windows-932"},
        {936, "windows-936"},      {949, "windows-949"},      {950, "windows-950"},
        {1250, "windows-1250"},    {1251, "windows-1251"},    {1252, "windows-1252"},
        {1253, "windows-1253"},    {1254, "windows-1254"},    {1255, "windows-1255"},
        {1256, "windows-1256"},    {1257, "windows-1257"},    {1258, "windows-1258"},
        {10000, "macintosh"},      {10006, "x-mac-greek"},    {10007, "x-mac-cyrillic"},
        {10029, "x-mac-centraleurroman"},
    };
    const auto it = names.find(codePage);
    return it == names.end() ? nullptr : it->second;
}

struct TConverterCloser {
    void operator()(UConverter* c) const { ucnv_close(c); }
};
using TConverter = std::unique_ptr<UConverter, TConverterCloser>;

// Undecodable bytes become '?', as unencodable characters do.
void ToUnicodeQuestionMark(const void*, UConverterToUnicodeArgs* args, const char*, int32_t,
                           UConverterCallbackReason reason, UErrorCode* err) {
    if (reason > UCNV_IRREGULAR) return;
    *err = U_ZERO_ERROR;
    const UChar mark = u'?';
    ucnv_cbToUWriteUChars(args, &mark, 1, 0, err);
}

TConverter OpenConverter(int codePage) {
    const char* name = IcuConverterName(codePage);
    if (name == nullptr) return nullptr;
    UErrorCode err = U_ZERO_ERROR;
    TConverter conv(ucnv_open(name, &err));
    if (U_FAILURE(err)) return nullptr;
    ucnv_setSubstChars(conv.get(), "?", 1, &err);
    ucnv_setToUCallBack(conv.get(), ToUnicodeQuestionMark, nullptr, nullptr, nullptr, &err);
    if (U_FAILURE(err)) return nullptr;
    return conv;
}

// Opening a converter costs far more than a field's conversion, so each
// thread keeps one per code page (ucnv_toUChars and ucnv_fromUChars reset it
// before every use). Null for a code page ICU does not hold.
UConverter* CachedConverter(int codePage) {
    thread_local std::map<int, TConverter> cache;
    auto found = cache.find(codePage);
    if (found == cache.end()) found = cache.emplace(codePage, OpenConverter(codePage)).first;
    return found->second.get();
}

// The UTF-8 text of each of the 256 bytes of a single-byte code page, taken
// from its ICU converter once, so decoding a field is a table walk.
struct TSingleByteTable {
    std::string Utf8[256];
    bool AsciiTransparent = true;  // bytes 0..127 stand for themselves
};

std::unique_ptr<TSingleByteTable> BuildSingleByteTable(UConverter* conv) {
    auto table = std::make_unique<TSingleByteTable>();
    for (int byte = 0; byte < 256; ++byte) {
        const char in = static_cast<char>(byte);
        UChar out[4];
        UErrorCode err = U_ZERO_ERROR;
        const int32_t len = ucnv_toUChars(conv, out, 4, &in, 1, &err);
        if (U_FAILURE(err)) return nullptr;
        icu::UnicodeString(false, out, len).toUTF8String(table->Utf8[byte]);
        if (byte < 0x80 && table->Utf8[byte] != std::string(1, in)) table->AsciiTransparent = false;
    }
    return table;
}

// Null for double-byte and unavailable code pages.
const TSingleByteTable* SingleByteTable(int codePage) {
    thread_local std::map<int, std::unique_ptr<TSingleByteTable>> cache;
    // Nearly every call asks for the code page the call before asked for.
    thread_local int lastCodePage = 0;
    thread_local const TSingleByteTable* lastTable = nullptr;
    if (codePage == lastCodePage && lastCodePage != 0) return lastTable;
    auto found = cache.find(codePage);
    if (found == cache.end()) {
        UConverter* conv = CachedConverter(codePage);
        const bool singleByte = conv != nullptr && ucnv_getMaxCharSize(conv) == 1;
        found = cache.emplace(codePage, singleByte ? BuildSingleByteTable(conv) : nullptr).first;
    }
    lastCodePage = codePage;
    lastTable = found->second.get();
    return lastTable;
}

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::string IcuLocaleName() {
    const std::string name = UserLocaleName();
    return name.empty() ? std::string("en_US") : name;
}

struct TCollatorCloser {
    void operator()(UCollator* c) const { ucol_close(c); }
};

// Opening a collator is costly, so one per locale and strength is kept.
UCollator* CollatorFor(const std::string& locale, bool ignoreCase) {
    static std::map<std::string, std::unique_ptr<UCollator, TCollatorCloser>> cache;
    auto& slot = cache[locale + (ignoreCase ? "/2" : "/3")];
    if (!slot) {
        UErrorCode err = U_ZERO_ERROR;
        slot.reset(ucol_open(locale.c_str(), &err));
        if (U_FAILURE(err)) {
            slot.reset();
            return nullptr;
        }
        ucol_setStrength(slot.get(), ignoreCase ? UCOL_SECONDARY : UCOL_TERTIARY);
    }
    return slot.get();
}

std::string LocaleForLCID(uint32_t lcid) {
    char name[ULOC_FULLNAME_CAPACITY] = {};
    UErrorCode err = U_ZERO_ERROR;
    uloc_getLocaleForLCID(lcid, name, sizeof(name), &err);
    return U_FAILURE(err) ? std::string() : std::string(name);
}

std::string MapCase(std::string_view utf8, UChar32 (*map)(UChar32)) {
    icu::UnicodeString text = icu::UnicodeString::fromUTF8(
        icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
    for (int32_t i = 0; i < text.length(); ++i) {
        const UChar32 mapped = map(text.charAt(i));
        if (mapped <= 0xFFFF) text.setCharAt(i, static_cast<UChar>(mapped));
    }
    std::string result;
    text.toUTF8String(result);
    return result;
}

}  // namespace

std::string UserLocaleName() {
    if (LocaleOverride()) return StripCodeset(*LocaleOverride());
    std::string name = NonEmptyEnv("LC_ALL");
    if (name.empty()) name = NonEmptyEnv("LANG");
    return StripCodeset(name);
}

TLocaleOverride::TLocaleOverride(std::string localeName)
    : FPrevious(LocaleOverride().value_or(std::string())),
      FHadPrevious(LocaleOverride().has_value()) {
    LocaleOverride() = std::move(localeName);
}

TLocaleOverride::~TLocaleOverride() {
    if (FHadPrevious)
        LocaleOverride() = FPrevious;
    else
        LocaleOverride().reset();
}

int AnsiCodePage() { return AnsiCodePageFor(SplitLocale(UserLocaleName())); }

int OemCodePage() { return OemCodePageFor(SplitLocale(UserLocaleName())); }

uint32_t UserDefaultLCID() {
    const std::string name = UserLocaleName();
    const uint32_t lcid = name.empty() ? 0 : uloc_getLCID(name.c_str());
    return lcid == 0 ? 0x0409 : lcid;
}

namespace {

char DecimalSeparatorOf(const std::string& locale) {
    UErrorCode err = U_ZERO_ERROR;
    UNumberFormat* format = unum_open(UNUM_DECIMAL, nullptr, 0, locale.c_str(), nullptr, &err);
    if (U_FAILURE(err)) return '.';
    std::unique_ptr<UNumberFormat, void (*)(UNumberFormat*)> owner(format, unum_close);
    UChar symbol[8];
    const int32_t len = unum_getSymbol(format, UNUM_DECIMAL_SEPARATOR_SYMBOL, symbol, 8, &err);
    if (U_FAILURE(err) || len != 1 || symbol[0] < 0x21 || symbol[0] > 0x7E) return '.';
    return static_cast<char>(symbol[0]);
}

}  // namespace

// Every numeric field value read asks for the separator, and opening a number
// format costs microseconds, so the answer is kept per locale.
char DecimalSeparator() {
    static std::map<std::string, char> cache;
    const std::string locale = IcuLocaleName();
    const auto found = cache.find(locale);
    if (found != cache.end()) return found->second;
    return cache.emplace(locale, DecimalSeparatorOf(locale)).first->second;
}

bool CodePageAvailable(int codePage) { return CachedConverter(codePage) != nullptr; }

std::vector<int> InstalledCodePages(const std::vector<int>& candidates) {
    std::vector<int> result;
    for (int cp : candidates)
        if (std::find(result.begin(), result.end(), cp) == result.end() && CodePageAvailable(cp))
            result.push_back(cp);
    return result;
}

std::u16string CodePageToUtf16(int codePage, std::string_view bytes) {
    UConverter* conv = CachedConverter(codePage);
    if (!conv || bytes.empty()) return std::u16string();
    UErrorCode err = U_ZERO_ERROR;
    // A double-byte page never yields more UTF-16 units than bytes, plus room for the terminator.
    std::u16string result(bytes.size() + 1, u'\0');
    const int32_t len = ucnv_toUChars(conv, result.data(), static_cast<int32_t>(result.size()),
                                      bytes.data(), static_cast<int32_t>(bytes.size()), &err);
    if (U_FAILURE(err)) return std::u16string();
    result.resize(static_cast<size_t>(len));
    return result;
}

std::string Utf16ToCodePage(int codePage, std::u16string_view text) {
    UConverter* conv = CachedConverter(codePage);
    if (!conv || text.empty()) return std::string();
    UErrorCode err = U_ZERO_ERROR;
    const int32_t needed = ucnv_fromUChars(conv, nullptr, 0, text.data(),
                                           static_cast<int32_t>(text.size()), &err);
    if (err != U_BUFFER_OVERFLOW_ERROR && U_FAILURE(err)) return std::string();
    std::string result(static_cast<size_t>(needed) + 1, '\0');
    err = U_ZERO_ERROR;
    ucnv_fromUChars(conv, result.data(), static_cast<int32_t>(result.size()), text.data(),
                    static_cast<int32_t>(text.size()), &err);
    if (U_FAILURE(err)) return std::string();
    result.resize(static_cast<size_t>(needed));
    return result;
}

std::string Utf16ToCodePagePrefix(int codePage, std::u16string_view text, size_t maxBytes) {
    std::string whole = Utf16ToCodePage(codePage, text);
    if (whole.size() <= maxBytes) return whole;
    // Too long: encode character by character so no character is split.
    std::string result;
    for (size_t i = 0; i < text.size();) {
        const size_t units = (U16_IS_LEAD(text[i]) && i + 1 < text.size()) ? 2 : 1;
        const std::string one = Utf16ToCodePage(codePage, text.substr(i, units));
        if (result.size() + one.size() > maxBytes) break;
        result += one;
        i += units;
    }
    return result;
}

std::string CodePageToUtf8(int codePage, std::string_view bytes) {
    if (const TSingleByteTable* table = SingleByteTable(codePage)) {
        if (table->AsciiTransparent && IsAscii(bytes)) return std::string(bytes);
        std::string result;
        result.reserve(bytes.size());
        for (char c : bytes) result += table->Utf8[static_cast<unsigned char>(c)];
        return result;
    }
    const std::u16string text = CodePageToUtf16(codePage, bytes);
    std::string result;
    icu::UnicodeString(false, text.data(), static_cast<int32_t>(text.size())).toUTF8String(result);
    return result;
}

std::string Utf8ToCodePage(int codePage, std::string_view utf8) {
    // Plain ASCII text is the same bytes in every page that keeps ASCII as it is.
    if (const TSingleByteTable* table = SingleByteTable(codePage); table && table->AsciiTransparent && IsAscii(utf8))
        return std::string(utf8);
    const icu::UnicodeString text = icu::UnicodeString::fromUTF8(
        icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
    return Utf16ToCodePage(codePage,
                           std::u16string_view(text.getBuffer(), static_cast<size_t>(text.length())));
}

std::u32string CodePoints(std::string_view utf8) {
    std::u32string result;
    const auto* bytes = reinterpret_cast<const uint8_t*>(utf8.data());
    const auto length = static_cast<int32_t>(utf8.size());
    for (int32_t i = 0; i < length;) {
        UChar32 c = 0;
        U8_NEXT(bytes, i, length, c);
        result.push_back(c < 0 ? U'\uFFFD' : static_cast<char32_t>(c));
    }
    return result;
}

std::string Utf8FromCodePoint(char32_t character) {
    std::string result;
    icu::UnicodeString(static_cast<UChar32>(character)).toUTF8String(result);
    return result;
}

bool CodePageHolds(int codePage, char32_t character) {
    // Text walks ask again and again about the same few characters.
    thread_local std::map<std::pair<int, char32_t>, bool> answers;
    const auto key = std::make_pair(codePage, character);
    if (const auto found = answers.find(key); found != answers.end()) return found->second;
    const icu::UnicodeString text(static_cast<UChar32>(character));
    const std::u16string_view units(text.getBuffer(), static_cast<size_t>(text.length()));
    const std::string bytes = Utf16ToCodePage(codePage, units);
    const bool holds = !bytes.empty() && CodePageToUtf16(codePage, bytes) == units;
    answers.emplace(key, holds);
    return holds;
}

std::string OemToAnsi(std::string_view oem) {
    return Utf16ToCodePage(AnsiCodePage(), CodePageToUtf16(OemCodePage(), oem));
}

std::string AnsiToOem(std::string_view ansi) {
    return Utf16ToCodePage(OemCodePage(), CodePageToUtf16(AnsiCodePage(), ansi));
}

int CompareLocale(std::string_view a, std::string_view b, bool ignoreCase) {
    UCollator* collator = CollatorFor(IcuLocaleName(), ignoreCase);
    if (collator == nullptr) return a.compare(b);
    UErrorCode err = U_ZERO_ERROR;
    const UCollationResult r =
        ucol_strcollUTF8(collator, a.data(), static_cast<int32_t>(a.size()), b.data(),
                         static_cast<int32_t>(b.size()), &err);
    return r == UCOL_LESS ? -1 : (r == UCOL_EQUAL ? 0 : 1);
}

std::string CollationSortKey(uint32_t lcid, std::u16string_view text, bool ignoreCase) {
    UCollator* collator = CollatorFor(LocaleForLCID(lcid), ignoreCase);
    if (collator == nullptr) return std::string();
    const auto len = static_cast<int32_t>(text.size());
    const int32_t size = ucol_getSortKey(collator, text.data(), len, nullptr, 0);
    std::string key(static_cast<size_t>(size), '\0');
    ucol_getSortKey(collator, text.data(), len, reinterpret_cast<uint8_t*>(key.data()), size);
    return key;
}

TTextCollator::TTextCollator(bool ignoreCase) : FCollator(CollatorFor(IcuLocaleName(), ignoreCase)) {}

int TTextCollator::Compare(std::u16string_view a, std::u16string_view b) const {
    if (FCollator == nullptr) return a.compare(b);
    // Identical texts are equal under every collation and strength; filters
    // comparing with '=' meet them on every matching record.
    if (a == b) return 0;
    const UCollationResult r = ucol_strcoll(static_cast<UCollator*>(FCollator), a.data(),
                                            static_cast<int32_t>(a.size()), b.data(),
                                            static_cast<int32_t>(b.size()));
    return r == UCOL_LESS ? -1 : (r == UCOL_EQUAL ? 0 : 1);
}

bool IsLetter(char16_t c) { return u_isalpha(c); }

bool IsLowerCase(char16_t c) { return u_islower(c); }

std::string UpperCase(std::string_view utf8) { return MapCase(utf8, u_toupper); }

std::string LowerCase(std::string_view utf8) { return MapCase(utf8, u_tolower); }

void UpperCaseInPlace(char16_t* text, size_t length) {
    for (size_t i = 0; i < length; ++i) text[i] = UpperCaseUnit(text[i]);
}

// ASCII units map without ICU: its simple mapping of them is a-z <-> A-Z and
// nothing else (locale-independent, as u_toupper/u_tolower always are).
char16_t LowerCaseUnit(char16_t c) {
    if (c < 0x80) return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + (u'a' - u'A')) : c;
    const UChar32 mapped = u_tolower(c);
    return mapped <= 0xFFFF ? static_cast<char16_t>(mapped) : c;
}

void LowerCaseInPlace(char16_t* text, size_t length) {
    for (size_t i = 0; i < length; ++i) text[i] = LowerCaseUnit(text[i]);
}

char16_t UpperCaseUnit(char16_t c) {
    if (c < 0x80) return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - (u'a' - u'A')) : c;
    const UChar32 mapped = u_toupper(c);
    return mapped <= 0xFFFF ? static_cast<char16_t>(mapped) : c;
}

}  // namespace dbf::platform
