// The on-disk layout of a DBF table file: offsets and sizes of the file
// header, the level-7 extra header, both field descriptor layouts and the
// level-7 field-properties block, with little-endian accessors. Everything
// that reads or writes these bytes takes the offsets from here.
//
// Contract: the accessors work on byte pointers the caller has bounds-checked;
// they neither allocate nor check.
//
// File header (32 bytes at offset 0, little-endian):
//   | off | size | name        | meaning                                              |
//   |-----|------|-------------|------------------------------------------------------|
//   |   0 |    1 | VerByte      | version byte (dialect, memo and FoxPro feature bits)  |
//   |   1 |    1 | Year        | year of the last header write - 1900 (low 8 bits)     |
//   |   2 |    1 | Month       | 1-12                                                 |
//   |   3 |    1 | Day         | 1-31                                                 |
//   |   4 |    4 | RecordCount | number of records, uint32                            |
//   |   8 |    2 | FullHdrSize | bytes before the first record, uint16                |
//   |  10 |    2 | RecordSize  | bytes per record including the deletion flag, uint16 |
//   |  12 |   16 | reserved    | 0                                                    |
//   |  28 |    1 | MDXFlag     | non-zero: a production index (.mdx) belongs to it    |
//   |  29 |    1 | Language    | language driver id; 0 in dBASE III tables            |
//   |  30 |    2 | reserved    | 0                                                    |
//
// Level-7 extra header (36 bytes at offset 32):
//   | off | size | name               | meaning                                  |
//   |-----|------|--------------------|------------------------------------------|
//   |  32 |   32 | LanguageDriverName | single-byte name, zero-padded ("DB437US0") |
//   |  64 |    4 | reserved           | 0                                        |
//
// Field descriptor of dBASE III, IV and FoxPro (32 bytes each, from offset 32):
//   | off | size | name           | meaning                                            |
//   |-----|------|----------------|----------------------------------------------------|
//   |   0 |   11 | FieldName      | up to 10 characters, zero-padded                   |
//   |  11 |    1 | FieldType      | native type letter                                 |
//   |  12 |    4 | FieldOffset    | FoxPro: offset of the field in the record; else 0  |
//   |  16 |    1 | FieldSize      | width (FoxPro text: low byte of the width)         |
//   |  17 |    1 | FieldPrecision | decimals (FoxPro text: high byte of the width)     |
//   |  18 |    1 | FoxProFlags    | FoxPro: bit 1 (value 2) = the field may be null    |
//   |  19 |   13 | reserved       | 0                                                  |
//
// Field descriptor of dBASE VII (48 bytes each, from offset 68):
//   | off | size | name           | meaning                                 |
//   |-----|------|----------------|-----------------------------------------|
//   |   0 |   32 | FieldName      | up to 31 characters, zero-padded        |
//   |  32 |    1 | FieldType      | native type letter                      |
//   |  33 |    1 | FieldSize      | width in bytes                          |
//   |  34 |    1 | FieldPrecision | decimals                                |
//   |  35 |    2 | reserved       | 0                                       |
//   |  37 |    1 | MDXFlag        | 0 on write                              |
//   |  38 |    4 | reserved       | 0                                       |
//   |  42 |    4 | NextAutoInc    | next autoincrement value, uint32        |
//   |  46 |    2 | reserved       | 0                                       |
//
// The descriptors end with the byte 0x0D. FoxPro headers carry 263 more bytes
// after it (zero in a new file); level-7 headers may carry the field-properties
// block right after it, starting at P:
//
// Field-properties header (16 bytes at P, all uint16):
//   | off | name             | meaning                                      |
//   |-----|------------------|----------------------------------------------|
//   |   0 | NumStdProps      | number of standard property entries          |
//   |   2 | StartStdProps    | offset of the first entry, relative to P      |
//   |   4 | NumCustomProps   | custom properties (not read)                  |
//   |   6 | StartCustomProps |                                              |
//   |   8 | NumRIProps       | referential-integrity properties (not read)   |
//   |  10 | StartRIProps     |                                              |
//   |  12 | StartData        | start of the property data, relative to P     |
//   |  14 | Size             | size of the whole block                       |
//
// Standard property entry (15 bytes at P + StartStdProps + 15 * k):
//   | off | size | name        | meaning                                          |
//   |-----|------|-------------|--------------------------------------------------|
//   |   0 |    2 | GenNumber   | generation number                                |
//   |   2 |    2 | FieldOffset | 1-based number of the field the property is for  |
//   |   4 |    1 | PropType    | 1 required, 2 minimum, 3 maximum, 4 default      |
//   |   5 |    1 | FieldType   | type letter of the field                         |
//   |   6 |    1 | IsConstraint|                                                  |
//   |   7 |    4 | reserved    |                                                  |
//   |  11 |    2 | DataOffset  | offset of the value, relative to P               |
//   |  13 |    2 | DataSize    | length of the value in bytes                     |
#pragma once

#include <cstdint>

namespace dbf::layout {

// File header.
inline constexpr int kHeaderSize = 32;
inline constexpr int kVersionOffset = 0;
inline constexpr int kYearOffset = 1;
inline constexpr int kMonthOffset = 2;
inline constexpr int kDayOffset = 3;
inline constexpr int kRecordCountOffset = 4;
inline constexpr int kFullHdrSizeOffset = 8;
inline constexpr int kRecordSizeOffset = 10;
inline constexpr int kMdxFlagOffset = 28;
inline constexpr int kLanguageOffset = 29;

// Level-7 extra header.
inline constexpr int kHeaderSizeVII = 68;
inline constexpr int kLangNameOffset = 32;
inline constexpr int kLangNameSize = 32;

// Descriptors of dBASE III, IV and FoxPro.
inline constexpr int kDescSize = 32;
inline constexpr int kDescNameSize = 11;
inline constexpr int kDescTypeOffset = 11;
inline constexpr int kDescFieldOffsetOffset = 12;
inline constexpr int kDescSizeOffset = 16;
inline constexpr int kDescPrecisionOffset = 17;
inline constexpr int kDescFoxProFlagsOffset = 18;
inline constexpr uint8_t kFoxProNullableFlag = 0x02;

// Descriptors of dBASE VII.
inline constexpr int kDescSizeVII = 48;
inline constexpr int kDescNameSizeVII = 32;
inline constexpr int kDescTypeOffsetVII = 32;
inline constexpr int kDescSizeOffsetVII = 33;
inline constexpr int kDescPrecisionOffsetVII = 34;
inline constexpr int kDescNextAutoIncOffsetVII = 42;

inline constexpr uint8_t kDescriptorTerminator = 0x0D;
inline constexpr int kFoxProHeaderTail = 263;
inline constexpr uint8_t kEndOfFile = 0x1A;
inline constexpr int kMaxFieldCount = 4095;

// Field-properties block of level 7.
inline constexpr int kPropsHeaderSize = 16;
inline constexpr int kPropsNumStdOffset = 0;
inline constexpr int kPropsStartStdOffset = 2;
inline constexpr int kStdPropSize = 15;
inline constexpr int kStdPropFieldOffset = 2;
inline constexpr int kStdPropTypeOffset = 4;
inline constexpr int kStdPropDataOffsetOffset = 11;
inline constexpr int kStdPropDataSizeOffset = 13;
inline constexpr uint8_t kPropRequired = 1;
inline constexpr uint8_t kPropMinimum = 2;
inline constexpr uint8_t kPropMaximum = 3;
inline constexpr uint8_t kPropDefault = 4;

// Record images.
inline constexpr uint8_t kRecordValid = 0x20;
inline constexpr uint8_t kRecordDeleted = 0x2A;

// The fixed part of a _DBASELOCK field before the user name.
inline constexpr int kLockInfoSize = 8;

inline uint16_t GetU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

inline uint32_t GetU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

inline void PutU16(uint8_t* p, uint16_t value) {
    p[0] = static_cast<uint8_t>(value);
    p[1] = static_cast<uint8_t>(value >> 8);
}

inline void PutU32(uint8_t* p, uint32_t value) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(value >> (8 * i));
}

inline void PutU32BigEndian(uint8_t* p, uint32_t value) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(value >> (8 * (3 - i)));
}

}  // namespace dbf::layout
