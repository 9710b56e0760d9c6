// Field value encodings: the bytes a field occupies in a record image and the
// value buffers the dataset layer exchanges with the engine. The table file's
// GetFieldData/SetFieldData delegate here.
//
// Value buffers by data type: ftString a zero-terminated single-byte string
// (room for width + 1 bytes); ftSmallint int16; ftInteger and ftAutoInc int32;
// ftLargeint int64; ftBoolean a 16-bit boolean (non-zero = true); ftFloat and
// ftCurrency a double; ftBCD the 8 stored bytes; ftDate an int32 day number
// (1 January 0001 = day 1) with nativeFormat, else a date-time double;
// ftDateTime a date-time double. Memo fields exchange their block number as
// ftInteger.
//
// Contract: reading never raises; unparseable numbers read as 0, unparseable
// date parts as 1, impossible dates as 30 December 1899. Text is cut to the
// field width without an error, but a number or date that does not fit the
// field raises ETableError (ValueTooWide) and leaves the field's bytes as they were.
// No code page conversion happens here.
#pragma once

#include "dbf/common.h"
#include "dbf/field_defs.h"

#include <cstdint>

namespace dbf {

// What the codec needs to know about the table besides the field itself.
struct TFieldCodecContext {
    TDateTimeHandling DateTimeHandling = dtBDETimeStamp;
    const TFieldDescriptor* NullField = nullptr;  // the _NULLFLAGS field, when the table has one
};

// Decodes the field from the record image src (deletion flag at offset 0) into
// dst, which may be null when only the answer is wanted. Answers whether the
// field holds a value: false for a null field, a blank text field or no record.
bool GetFieldDataFromDef(const TFieldCodecContext& context, const TFieldDescriptor& field, TFieldType dataType,
                         const uint8_t* src, void* dst, bool nativeFormat);

// Encodes the value src (null: the empty value) into the field's bytes of the
// record image dst.
void SetFieldDataFromDef(const TFieldCodecContext& context, const TFieldDescriptor& field, TFieldType dataType,
                         const void* src, uint8_t* dst, bool nativeFormat);

}  // namespace dbf
