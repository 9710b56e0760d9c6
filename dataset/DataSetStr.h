// The dataset framework's message texts. They are fixed English texts that
// callers and tests compare literally; the %-placeholders are filled with
// ds::Format. Dataset-level texts get the "<name>: " prefix from DatabaseError.
#pragma once

#include "dataset/Format.h"

#include <string>

namespace ds {

namespace msg {

inline constexpr const char* DataSetClosed = "Cannot perform this operation on a closed dataset";
inline constexpr const char* DataSetOpen = "Cannot perform this operation on an open dataset";
inline constexpr const char* DataSetReadOnly = "Cannot modify a read-only dataset";
inline constexpr const char* NotEditing = "Dataset not in edit or insert mode";
inline constexpr const char* DataSetEmpty = "Cannot perform this operation on an empty dataset";
inline constexpr const char* RecordNotFound = "Record not found";
inline constexpr const char* FieldNotFound = "Field '%s' not found";
inline constexpr const char* FieldIndexOutOfRange = "Field index out of range: %d";
inline constexpr const char* DuplicateFieldName = "Duplicate field name '%s'";
inline constexpr const char* UnknownFieldType = "Field '%s' is of an unknown type";
inline constexpr const char* FieldReadOnly = "Field '%s' cannot be modified";
inline constexpr const char* FieldRequired = "Field '%s' must have a value";
inline constexpr const char* FieldAccessError = "Cannot access field '%s' as type %s";
inline constexpr const char* FieldRangeError = "%s is not a valid value for field '%s'. The allowed range is %s to %s";
inline constexpr const char* FieldHasNoDataSet = "Field '%s' has no dataset";
inline constexpr const char* InvalidBoolValue = "'%s' is not a valid boolean value for field '%s'";

// The platform's text-conversion errors (raised as EConvertError).
inline constexpr const char* InvalidInteger = "''%s'' is not a valid integer value";
inline constexpr const char* InvalidFloat = "''%s'' is not a valid floating point value";
inline constexpr const char* InvalidDate = "''%s'' is not a valid date";
inline constexpr const char* InvalidTime = "''%s'' is not a valid time";
inline constexpr const char* InvalidDateTime = "''%s'' is not a valid date and time";

}  // namespace msg

}  // namespace ds
