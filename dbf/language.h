// Language drivers: the 8-bit code page (and locale) that a table declares
// through the language byte of its header or, in level 7, through a language
// driver name; the engine-wide settings object TEngineGlobals; and TranslateString,
// which converts text between two code pages.
//
// Contract: the language driver table is fixed data; lookups never fail (an
// unknown driver has code page 0). GetLangId_From_LangName raises ETableError
// with the platform's integer-conversion text when the code-page part of a
// name is not a number. TranslateString never reads or writes beyond Length
// bytes of its buffers and may work in place (Src == Dest).
#pragma once

#include "dbf/common.h"

#include <cstdint>
#include <string>
#include <vector>

namespace dbf {

// One row of the language driver table. LocaleCode holds up to three letters,
// the first in the low byte, or one of the two markers below.
struct TLangDriver {
    uint16_t CodePage;  // 0 = none
    uint32_t Locale;    // numeric locale id; 0 = none
    uint32_t LocaleCode;
};

inline constexpr uint32_t LANG_NO_DRIVER = 0x10000;  // id 0: no driver, empty name
inline constexpr uint32_t LANG_BGDB868 = 0x20000;    // id 0x8E: the name is "BGDB868"

// The column of the language driver table that FindLangId searches.
enum class TLangColumn { Locale, LocaleCode };

const TLangDriver& LangDriver(uint8_t id);
// The dBASE class (id 0 and 0x05..0x5D) wins ties unless FoxPro style is asked.
bool IsDbaseClassLangId(uint8_t id);
inline uint16_t LangIdCodePage(uint8_t id) { return LangDriver(id).CodePage; }

// Packs up to three single-byte letters as the LocaleCode column holds them.
uint32_t PackLocaleCode(const std::string& letters);

uint8_t FindLangId(int codePage, uint32_t key, TLangColumn column, bool isFoxPro);
uint8_t ConstructLangId(int codePage, uint32_t locale, bool isFoxPro);
std::string ConstructLangName(int codePage, uint32_t locale, bool isFoxPro);
uint8_t GetLangId_From_LangName(const std::string& langName);
// The code page named by a level-7 language driver name; 0 when it names none.
int GetCodePageFromLangName(const std::string& langName);

// The code page that an opened table's language driver names: from the
// header's language byte, or in level 7 from the language driver name; 0 when
// it names none.
int TableCodePage(TXBaseVersion version, uint8_t languageByte, const std::string& langName);
// The code page used for a table's text: its own, else the default open code page.
int UseCodePage(int fileCodePage);

// Converts Length bytes of Src (Length -1: up to its zero byte) from code page
// fromCP to toCP into Dest, which holds at least that many bytes. Returns the
// number of bytes in Dest. A shorter result is followed by a zero byte.
int TranslateString(int fromCP, int toCP, const char* Src, char* Dest, int Length);

// The engine-wide settings, created on first use and alive until program end.
class TEngineGlobals {
public:
    TEngineGlobals();

    bool CurrencyAsBCD() const { return FCurrencyAsBCD; }
    void SetCurrencyAsBCD(bool value) { FCurrencyAsBCD = value; }
    int DefaultOpenCodePage() const { return FDefaultOpenCodePage; }
    void SetDefaultOpenCodePage(int codePage) { FDefaultOpenCodePage = codePage; }
    uint8_t DefaultCreateLangId() const { return FDefaultCreateLangId; }
    void SetDefaultCreateLangId(uint8_t id) { FDefaultCreateLangId = id; }
    int DefaultCreateCodePage() const { return LangIdCodePage(FDefaultCreateLangId); }
    // Chooses the language driver of that code page for the user's locale.
    void SetDefaultCreateCodePage(int codePage);
    const std::string& UserName() const { return FUserName; }
    uint32_t UserNameLen() const { return FUserNameLen; }

    bool CodePageInstalled(int codePage) const;
    const std::vector<int32_t>& CodePages() const { return FCodePages; }

private:
    std::vector<int32_t> FCodePages;
    bool FCurrencyAsBCD = true;
    int32_t FDefaultOpenCodePage;
    uint8_t FDefaultCreateLangId;
    std::string FUserName;
    uint32_t FUserNameLen;
};

TEngineGlobals& EngineGlobals();

}  // namespace dbf
