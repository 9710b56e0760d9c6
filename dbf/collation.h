// Collations of index keys: a registry of 256 slots, one per language driver
// id, each holding a name (at most 8 characters) and either a weight table
// (one weight per byte value) or the byte-order marker, and the comparison
// routine that index files use for character keys.
//
// Contract: slots that nobody registered compare in byte order with an empty
// name. The built-in tables are derived once, on first use, from ICU's
// collation of each byte's character in the driver's code page (see
// collation.cpp); dBASE tables are permutations of the 256 byte values with
// all upper-case letters before all lower-case ones, FoxPro tables fold case.
// A registered table must outlive the registry's use of it.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace dbf {

using TCollationTable = std::array<uint8_t, 256>;

// The byte-order marker.
inline constexpr const TCollationTable* BINARY_COLLATION = nullptr;

// The table of the slot, or BINARY_COLLATION for a byte-order slot and for an
// index outside 0..255.
const TCollationTable* GetCollationTable(int index);
std::string GetCollationName(int index);
// False, and nothing registered, for an index outside 0..255; the name is cut to 8 characters.
bool RegisterCollation(int index, const TCollationTable* table, const std::string& name);

// 1 when s1 sorts first, 2 when both are equal, 3 when s2 sorts first.
int CollateCompareString(const TCollationTable* table, const char* s1, int len1, const char* s2, int len2);

}  // namespace dbf
