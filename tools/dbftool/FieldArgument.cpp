#include "FieldArgument.h"

#include "ToolError.h"

#include <cerrno>
#include <cstdlib>

namespace dbftool {

namespace {

std::vector<std::string> SplitAtColons(const std::string& text) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (true) {
        const size_t colon = text.find(':', start);
        parts.push_back(text.substr(start, colon == std::string::npos ? std::string::npos : colon - start));
        if (colon == std::string::npos) return parts;
        start = colon + 1;
    }
}

std::optional<int> Number(const std::string& part, const std::string& what, const std::string& text) {
    if (part.empty()) return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(part.c_str(), &end, 10);
    if (part.front() < '0' || part.front() > '9' || errno != 0 || *end != '\0' || value > 65535)
        throw TUsageError("field " + text + ": " + what + " is not a number from 0 to 65535: " + part);
    return static_cast<int>(value);
}

std::string LevelName(dbf::TXBaseVersion version) {
    switch (version) {
        case dbf::xBaseIII: return "3";
        case dbf::xBaseVII: return "7";
        case dbf::xFoxPro: return "25";
        default: return "4";
    }
}

}  // namespace

TFieldSpec ParseFieldSpec(const std::string& text) {
    const std::vector<std::string> parts = SplitAtColons(text);
    if (parts.size() < 2 || parts.size() > 4)
        throw TUsageError("field " + text + ": expected NAME:TYPE[:SIZE[:DECIMALS]]");
    TFieldSpec spec;
    spec.Name = parts[0];
    if (spec.Name.empty()) throw TUsageError("field " + text + ": the name is empty");
    if (parts[1].size() != 1) throw TUsageError("field " + text + ": TYPE must be one type letter");
    spec.Letter = parts[1][0];
    if (parts.size() > 2) spec.Size = Number(parts[2], "SIZE", text);
    if (parts.size() > 3) spec.Decimals = Number(parts[3], "DECIMALS", text);
    return spec;
}

dbf::TXBaseVersion VersionOfLevel(int level) {
    switch (level) {
        case 3: return dbf::xBaseIII;
        case 7: return dbf::xBaseVII;
        case 25: return dbf::xFoxPro;
        default: return dbf::xBaseIV;
    }
}

void AddFieldDef(const TFieldSpec& spec, dbf::TFieldDescriptors& defs) {
    dbf::TFieldDescriptor& def = defs.AddFieldDef();
    def.SetFieldName(spec.Name);
    def.SetNativeFieldType(spec.Letter);
    if (def.NativeFieldType() == 0 || def.FieldType() == dbf::TFieldType::ftUnknown)
        throw TToolError("Field " + spec.Name + ": type '" + std::string(1, spec.Letter) +
                         "' is not a field type of level " + LevelName(defs.TableVersion()) + " tables.");
    if (spec.Size) def.SetSize(*spec.Size);
    else def.SetDefaultSize();
    if (spec.Decimals) def.SetPrecision(*spec.Decimals);
    // The letter again, so that the data type follows the final width and
    // decimals (an N field is a small, plain or large integer or a float by them).
    def.SetNativeFieldType(def.NativeFieldType());
}

}  // namespace dbftool
