// Index keys: where a key comes from and what its bytes are.
//
// TIndexKeySource is the seam between an index tag and the expression that
// computes its key: given a record image it yields the result of the key
// expression and says what type and length that result has. The index file
// owns one source per tag; the table file supplies a factory that compiles
// a key expression into a source for its own records (index_key_parser.h).
//
// The key formats (built by PrepareNumericKey, compared by CompareIndexKeys):
// - character keys: KeyLen bytes of text, compared byte by byte, through the
//   collation's weights when the tag has one;
// - numeric keys of a single index: an 8-byte IEEE double;
// - numeric keys of a production index: 12 bytes of decimal form, byte 0 the
//   decimal exponent + 0x34, byte 1 ((digits + 1) / 2) * 8 + 1 with 0x80 for a
//   negative value, then the digits packed two per byte, high nibble first.
#pragma once

#include "dbf/collation.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace dbf {

class TTableFile;

enum class TKeyResultType { String, Integer, LargeInt, Float, Other };

class TIndexKeySource {
public:
    virtual ~TIndexKeySource() = default;
    // Compiles the expression; raises ETableError (or the parser's error) when it cannot.
    virtual void ParseExpression(const std::string& expression) = 0;
    virtual std::string Expression() const = 0;
    virtual TKeyResultType ResultType() const = 0;
    // Bytes of a string result (the key length of a character key).
    virtual int ResultLen() const = 0;
    // The result for the record image: String: ResultLen bytes; Integer: an
    // int32; LargeInt: an int64; Float: a double. Valid until the next call.
    virtual const uint8_t* ExtractFromBuffer(const uint8_t* record) = 0;
};

using TIndexKeySourceFactory = std::function<std::unique_ptr<TIndexKeySource>(TTableFile& table)>;

enum class TKeyCompare { Character, Double, Decimal };

inline constexpr int kDecimalKeyLen = 12;

// The 12-byte decimal key of a value.
void EncodeDecimalKey(double value, uint8_t* key);
void EncodeDecimalKey(int64_t value, uint8_t* key);

// -1, 0 or 1: how key1 sorts against key2 in ascending order.
int CompareIndexKeys(TKeyCompare kind, const TCollationTable* collation, const uint8_t* key1, const uint8_t* key2,
                     int keyLen);

// The key as text for messages: character keys with trailing blanks removed,
// numeric keys as their value.
std::string KeyAsText(TKeyCompare kind, const uint8_t* key, int keyLen);

}  // namespace dbf
