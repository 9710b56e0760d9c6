// The on-disk layout of index files: the single index (.ndx) and the
// production index (.mdx) with its tag table, the per-tag index header and
// the nodes of both kinds. Everything that reads or writes index bytes takes
// its offsets from here. All integers are little-endian; block numbers count
// 512-byte blocks from the start of the file.
//
// Geometry:
//   |                  | .ndx        | .mdx                     |
//   |------------------|-------------|--------------------------|
//   | file header      | 512, block 0| 2048, blocks 0-3         |
//   | node size        | 512         | 1024 (2 blocks)          |
//   | node header      | 4           | 8                        |
//   | entry header     | 8           | 4                        |
//
// Production index file header (blocks 0-3):
//   | off | size | name       | meaning                                          |
//   |-----|------|------------|--------------------------------------------------|
//   |   0 |    1 | MdxVersion | 2 (dBASE IV), 3 for a level-7 table                |
//   |   1 |    3 | Y M D      | creation date, year - 1900                         |
//   |   4 |   16 | FileName   | table name without folder and extension, 15 max   |
//   |  20 |    2 | BlockSize  | 2, blocks per node                                 |
//   |  22 |    2 | BlockAdder | 1024, node size in bytes                           |
//   |  24 |    1 | ProdFlag   | 1                                                  |
//   |  25 |    1 | NumTags    | 48                                                 |
//   |  26 |    1 | TagSize    | 32, bytes per tag-table entry                      |
//   |  28 |    2 | TagsUsed   | tags in the tag table                              |
//   |  31 |    1 | Language   | language driver id of the table                    |
//   |  32 |    4 | NumPages   | blocks in the file; the next free block            |
//   |  36 |    4 | FreePage   | 0                                                  |
//   |  40 |    4 | BlockFree  | 0                                                  |
//   |  44 |    3 | UpdY M D   | date of the last touch                             |
//   | 529 |    1 | TagFlag    | 1                                                  |
//   | 512 + TagSize * (i + 1) | tag entry i (47 of 32 bytes fill the header)       |
//
// Tag entry, dBASE IV layout (level 7: TagName has 33 bytes and the one-byte
// fields follow it at 37..42):
//   | off | size | name         | meaning                                       |
//   |-----|------|--------------|-----------------------------------------------|
//   |   0 |    4 | HeaderPageNo | block of the tag's index header node           |
//   |   4 |   11 | TagName      | upper case, 10 characters max, zero-terminated |
//   |  15 |    1 | KeyFormat    | 0x10 single field, 0x00 expression             |
//   |  16 |    3 | Fwd1 Fwd2 Bwd| 0                                             |
//   |  19 |    1 | Reserved     | 2                                             |
//   |  20 |    1 | KeyType      | 'C' or 'N'                                    |
//
// Index header (block 0 of a .ndx, the header node of each .mdx tag):
//   | off | size | name      | meaning                                            |
//   |-----|------|-----------|----------------------------------------------------|
//   |   0 |    4 | RootPage  | block of the root node                             |
//   |   4 |    4 | NumPages  | .ndx: blocks in the file; .mdx: informational      |
//   |   8 |    1 | KeyFormat | 0x08 descending, 0x10 character, 0x20 distinct, 0x40 unique |
//   |   9 |    1 | KeyType   | 'C', 'N' (others may write 'F', 'D')               |
//   |  10 |    2 | Dummy     | 0x5800 in a .ndx, 0 in a .mdx                      |
//   |  12 |    2 | KeyLen    | key bytes, 100 max                                 |
//   |  14 |    2 | NumKeys   | entries per node: (node - node header) / KeyRecLen |
//   |  16 |    2 | sKeyType  | .ndx: 0 character, 1 numeric; .mdx: 0              |
//   |  18 |    2 | KeyRecLen | KeyLen + entry header, rounded up to 4             |
//   |  20 |    2 | Version   | 2                                                  |
//   |  23 |    1 | Unique    | 0 normal, 1 unique, 0x21 distinct                  |
//   |  24 |  220 | KeyDesc   | key expression, zero-terminated, 219 max           |
//   | 246 |    1 | KeyExist  | 1                                                  |
//
// Node: NumEntries (4 bytes at 0); .mdx: PrevBlock (4 bytes, 0); then the
// entries of KeyRecLen bytes. A .mdx entry is RecBlockNo (record number in a
// leaf, child block in an inner node) and the key; a .ndx entry is
// LowerPageNo (child block, 0 in a leaf), RecNo (0 in an inner node) and the key.
#pragma once

#include <cstdint>

namespace dbf::ixlayout {

inline constexpr int kBlockSize = 512;
inline constexpr int kMaxKeyLen = 100;
inline constexpr int kMaxTags = 47;

inline constexpr int kNdxHeaderSize = 512;
inline constexpr int kNdxNodeSize = 512;
inline constexpr int kNdxNodeHeader = 4;
inline constexpr int kNdxEntryHeader = 8;

inline constexpr int kMdxHeaderSize = 2048;
inline constexpr int kMdxNodeSize = 1024;
inline constexpr int kMdxNodeHeader = 8;
inline constexpr int kMdxEntryHeader = 4;
inline constexpr int kMdxBlocksPerNode = 2;

// Production index file header.
inline constexpr int kMdxVersionOffset = 0;
inline constexpr int kMdxDateOffset = 1;
inline constexpr int kMdxFileNameOffset = 4;
inline constexpr int kMdxFileNameSize = 16;
inline constexpr int kMdxBlockSizeOffset = 20;
inline constexpr int kMdxBlockAdderOffset = 22;
inline constexpr int kMdxProdFlagOffset = 24;
inline constexpr int kMdxNumTagsOffset = 25;
inline constexpr int kMdxTagSizeOffset = 26;
inline constexpr int kMdxTagsUsedOffset = 28;
inline constexpr int kMdxLanguageOffset = 31;
inline constexpr int kMdxNumPagesOffset = 32;
inline constexpr int kMdxUpdDateOffset = 44;
inline constexpr int kMdxTagFlagOffset = 529;
inline constexpr int kMdxTagTableBase = 512;
inline constexpr int kMdxDefaultTagSize = 32;

// Tag entries.
inline constexpr int kTagHeaderPageOffset = 0;
inline constexpr int kTagNameOffset = 4;
inline constexpr int kTagNameSize4 = 11;
inline constexpr int kTagNameSize7 = 33;
inline constexpr int kTagFlagsOffset4 = 15;  // KeyFormat; Fwd1, Fwd2, Bwd, Reserved, KeyType follow
inline constexpr int kTagFlagsOffset7 = 37;

// Index header.
inline constexpr int kHdrRootPage = 0;
inline constexpr int kHdrNumPages = 4;
inline constexpr int kHdrKeyFormat = 8;
inline constexpr int kHdrKeyType = 9;
inline constexpr int kHdrDummy = 10;
inline constexpr int kHdrKeyLen = 12;
inline constexpr int kHdrNumKeys = 14;
inline constexpr int kHdrSKeyType = 16;
inline constexpr int kHdrKeyRecLen = 18;
inline constexpr int kHdrVersion = 20;
inline constexpr int kHdrUnique = 23;
inline constexpr int kHdrKeyDesc = 24;
inline constexpr int kHdrKeyDescSize = 220;
inline constexpr int kHdrKeyExist = 246;

// KeyFormat flags of the index header.
inline constexpr uint8_t kFormatDescending = 0x08;
inline constexpr uint8_t kFormatCharacter = 0x10;
inline constexpr uint8_t kFormatDistinct = 0x20;
inline constexpr uint8_t kFormatUnique = 0x40;

inline constexpr uint8_t kUniqueFlag = 1;
inline constexpr uint8_t kDistinctFlag = 0x21;

inline uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t Get32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}
inline void Put16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
inline void Put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace dbf::ixlayout
