#include "dbf/index_key_parser.h"

#include "dbf/table_parser.h"

#include <algorithm>
#include <string>

namespace dbf {

namespace {

class TParserKeySource : public TIndexKeySource {
public:
    explicit TParserKeySource(TTableFile& table) : FParser(&table) {}

    void ParseExpression(const std::string& expression) override {
        FParser.ParseExpression(expression);
        FKey.assign(static_cast<size_t>(std::max(FParser.KeyLength(), 0)), ' ');
    }

    std::string Expression() const override { return FParser.CurrentExpression(); }

    TKeyResultType ResultType() const override {
        switch (FParser.ResultType()) {
            case etString: return TKeyResultType::String;
            case etInteger: return TKeyResultType::Integer;
            case etLargeInt: return TKeyResultType::LargeInt;
            case etFloat: return TKeyResultType::Float;
            default: return TKeyResultType::Other;
        }
    }

    int ResultLen() const override { return FParser.KeyLength(); }

    const uint8_t* ExtractFromBuffer(const uint8_t* record) override {
        const char* result = FParser.ExtractFromBuffer(record);
        if (FParser.ResultType() != etString) return reinterpret_cast<const uint8_t*>(result);
        const std::string bytes = TTableParser::StringResultBytes(result, static_cast<int>(FKey.size()));
        std::fill(FKey.begin(), FKey.end(), ' ');
        std::copy(bytes.begin(), bytes.end(), FKey.begin());
        return reinterpret_cast<const uint8_t*>(FKey.data());
    }

private:
    TIndexKeyParser FParser;
    std::string FKey;
};

}  // namespace

std::unique_ptr<TIndexKeySource> NewParserKeySource(TTableFile& table) {
    return std::make_unique<TParserKeySource>(table);
}

}  // namespace dbf
