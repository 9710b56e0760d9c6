// The record buffer of a table object, as TTable lays out every buffer the
// dataset framework allocates for it (and its own scratch buffer):
//
//   | offset           | size            | meaning                                              |
//   |------------------|-----------------|------------------------------------------------------|
//   | 0                | 4               | physical record number, int32 (the bookmark); -1 after a failed fetch |
//   | 4                | 1               | bookmark flag: current 0, beginning 1, end 2, inserted 3 |
//   | 5                | 4               | sequential record number, int32 (position in the cursor's order) |
//   | 9                | RecordSize      | record image as stored: deletion flag (' ' or '*'), then the field bytes |
//   | 9 + RecordSize   | CalcFieldsSize  | calculated fields: per field a presence byte, then its value |
//
// The integers are kept unaligned and read with memcpy.
#pragma once

#include "dataset/DataSetTypes.h"

#include <cstdint>
#include <cstring>

namespace dbf::recbuf {

inline constexpr int kRecNoOffset = 0;
inline constexpr int kFlagOffset = 4;
inline constexpr int kSeqNoOffset = 5;
inline constexpr int kImageOffset = 9;

inline constexpr char kDeletedFlag = '*';
inline constexpr char kValidFlag = ' ';

inline int32_t ReadInt(const char* at) {
    int32_t value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

inline void WriteInt(char* at, int32_t value) { std::memcpy(at, &value, sizeof value); }

inline int32_t BufferRecNo(const char* buffer) { return ReadInt(buffer + kRecNoOffset); }
inline void SetBufferRecNo(char* buffer, int32_t value) { WriteInt(buffer + kRecNoOffset, value); }
inline int32_t BufferSeqNo(const char* buffer) { return ReadInt(buffer + kSeqNoOffset); }
inline void SetBufferSeqNo(char* buffer, int32_t value) { WriteInt(buffer + kSeqNoOffset, value); }
inline ds::TBookmarkFlag BufferFlag(const char* buffer) {
    return static_cast<ds::TBookmarkFlag>(static_cast<uint8_t>(buffer[kFlagOffset]));
}
inline void SetBufferFlag(char* buffer, ds::TBookmarkFlag flag) { buffer[kFlagOffset] = static_cast<char>(flag); }

}  // namespace dbf::recbuf
