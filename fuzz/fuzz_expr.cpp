// Fuzz target: expression text compiled and evaluated against a small table
// with a field of every kind that can be a variable (and a memo field that
// cannot). The first input byte picks the dialect (bits 0-1) and the parser's
// settings: bit 2 non-raw string fields, bit 3 partial match, bit 4
// case-sensitive, bit 5 the index-key parser; the rest is the expression.
// Every record is evaluated, then partial match is switched (which
// recompiles) and every record evaluated again. Compile errors and the
// table's own messages are defined results; anything else is a finding.
#include "FuzzSupport.h"

#include "dbf/table_file.h"
#include "dbf/table_parser.h"

#include <map>
#include <memory>
#include <string>

namespace {

using namespace dbf;

struct TFieldSpec {
    const char* Name;
    char Letter;
    int Size;
    int Decimals;
};

void AddField(TFieldDescriptors& defs, const TFieldSpec& spec) {
    TFieldDescriptor& def = defs.AddFieldDef();
    def.SetFieldName(spec.Name);
    def.SetSize(spec.Size);
    def.SetPrecision(spec.Decimals);
    def.SetNativeFieldType(spec.Letter);
    def.SetSize(spec.Size);
    def.SetPrecision(spec.Decimals);
}

void Put(TTableFile& file, uint8_t* record, const char* name, const void* value) {
    const TFieldDescriptor* def = file.GetFieldInfo(name);
    if (def != nullptr) file.SetFieldData(def->Index(), def->FieldType(), value, record, false);
}

// The table of a dialect, created once: three records (one of them deleted,
// one empty) with text holding an umlaut byte.
TTableFile& ExpressionTable(int dialect) {
    static const fuzz::TScratchFolder folder;
    static std::map<int, std::unique_ptr<TTableFile>> tables;
    auto& slot = tables[dialect];
    if (slot) return *slot;
    const TXBaseVersion versions[] = {xBaseIII, xBaseIV, xBaseVII, xFoxPro};
    const TXBaseVersion version = versions[dialect];
    TFieldDescriptors defs(version);
    for (const TFieldSpec& spec : {TFieldSpec{"NAME", 'C', 12, 0}, {"ZAHL", 'N', 5, 0}, {"GROSS", 'N', 15, 0},
                                   {"BETRAG", 'N', 10, 2}, {"DATUM", 'D', 8, 0}, {"AKTIV", 'L', 1, 0},
                                   {"NOTIZ", 'M', 10, 0}})
        AddField(defs, spec);
    if (version == xBaseIV) AddField(defs, {"FLIESS", 'F', 12, 3});
    if (version == xBaseVII) {
        AddField(defs, {"GANZ", 'I', 4, 0});
        AddField(defs, {"ZEIT", '@', 8, 0});
        AddField(defs, {"DOPPELT", 'O', 8, 0});
    }
    if (version == xFoxPro) {
        AddField(defs, {"GANZ", 'I', 4, 0});
        AddField(defs, {"ZEIT", 'T', 8, 0});
        AddField(defs, {"GELD", 'Y', 8, 4});
    }
    slot = std::make_unique<TTableFile>();
    slot->SetFileName(folder.File("expr" + std::to_string(dialect) + ".dbf"));
    slot->SetMode(pfExclusiveCreate);
    slot->SetTableVersion(version);
    slot->Open();
    slot->FinishCreate(defs, 512);
    std::vector<uint8_t> record(static_cast<size_t>(slot->RecordSize()));
    const int32_t zahl = -42, ganz = 2147483647;
    const int64_t gross = 123456789012LL;
    const double betrag = 1234.5, datum = 45351.25;
    const uint16_t aktiv = 1;
    slot->InitRecord(record.data());
    Put(*slot, record.data(), "NAME", "M\xfcller Mayr");
    Put(*slot, record.data(), "ZAHL", &zahl);
    Put(*slot, record.data(), "GROSS", &gross);
    Put(*slot, record.data(), "BETRAG", &betrag);
    Put(*slot, record.data(), "DATUM", &datum);
    Put(*slot, record.data(), "AKTIV", &aktiv);
    Put(*slot, record.data(), "FLIESS", &betrag);
    Put(*slot, record.data(), "GANZ", &ganz);
    Put(*slot, record.data(), "ZEIT", &datum);
    Put(*slot, record.data(), "DOPPELT", &betrag);
    Put(*slot, record.data(), "GELD", &betrag);
    slot->Insert(record.data());
    slot->InitRecord(record.data());
    slot->Insert(record.data());
    Put(*slot, record.data(), "NAME", "*");
    record[0] = '*';
    slot->Insert(record.data());
    return *slot;
}

// Reads the whole result, so a result that is not what its type says shows up.
size_t Consume(const char* result, TExpressionType type, int length) {
    if (type != etString) return static_cast<size_t>(result[0]);
    if (length >= 0) return TTableParser::StringResultBytes(result, length).size();
    return TTableParser::StringResultUtf8(result).size();
}

void EvaluateAll(TTableParser& parser, TTableFile& table) {
    std::vector<uint8_t> record(static_cast<size_t>(table.RecordSize()));
    for (int32_t recNo = 1; recNo <= table.GetRecordCount(); ++recNo) {
        table.ReadRecord(recNo, record.data());
        const char* result = parser.ExtractFromBuffer(record.data(), recNo);
        Consume(result, parser.ResultType(), parser.ResultLen());
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t selector = data[0];
    TTableFile& table = ExpressionTable(selector & 3);
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    std::unique_ptr<TTableParser> parser = (selector & 32) != 0 ? std::make_unique<TIndexKeyParser>(&table)
                                                                 : std::make_unique<TTableParser>(&table);
    try {
        parser->SetRawStringFields((selector & 4) == 0);
        parser->SetPartialMatch((selector & 8) != 0);
        parser->SetCaseInsensitive((selector & 16) == 0);
        parser->ParseExpression(text);
        EvaluateAll(*parser, table);
        parser->SetPartialMatch((selector & 8) == 0);
        EvaluateAll(*parser, table);
    } catch (const EParserException&) {
    } catch (const ETableError&) {
    }
    return 0;
}
