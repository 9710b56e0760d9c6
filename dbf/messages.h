// The engine's message texts. They are fixed English texts that callers and
// tests compare literally; the %-placeholders are filled with dbf::Format.
#pragma once

namespace dbf::msg {

inline constexpr const char* InvalidDbfFile = "Invalid DBF file.";
inline constexpr const char* InvalidFieldCount = "Invalid field count: %d (must be between 1 and 4095).";
inline constexpr const char* FileNotFound = "Open: file not found: \"%s\".";
inline constexpr const char* NeedExclusiveAccess = "Exclusive access is required for this operation.";
inline constexpr const char* WriteError = "Error while writing occurred. (Disk full?)";
inline constexpr const char* WriteIndexError = "Error while writing occurred; indexes probably corrupted. (Disk full?)";
// Index files.
inline constexpr const char* InvalidIndexType = "Invalid index type: can only be string or float.";
inline constexpr const char* TooManyIndexes = "Can not create index: too many indexes in file.";
inline constexpr const char* KeyViolation = "Key violation. (Key already present in file).\r\nIndex: %s\r\nRecord=%d Key='%s'.";
inline constexpr const char* IndexDamaged = "Index file \"%s\" is damaged: %s.";
inline constexpr const char* IndexNotFound = "Index \"%s\" not found.";
inline constexpr const char* InvalidFieldType = "Cannot create field \"%s\", VCL field type %x not supported by DBF.";
inline constexpr const char* RecordLocked = "Record locked.";
inline constexpr const char* InvalidInteger = "''%s'' is not a valid integer value";
inline constexpr const char* CharacterNotHeld = "The character \"%s\" (U+%04X) cannot be stored: code page %d has no such character.";
inline constexpr const char* ValueTooWide = "Value %s does not fit into field \"%s\" of width %d.";

// Platform texts for files that cannot be opened or created; the last %s is the system's message.
inline constexpr const char* CannotOpenFile = "Cannot open file \"%s\". %s";
inline constexpr const char* CannotCreateFile = "Cannot create file \"%s\". %s";
inline constexpr const char* MemoNotWritable = "The memo cannot be stored: the memo file is missing or has no block size.";
inline constexpr const char* NeedFileStorage = "This operation needs a table stored in files.";
inline constexpr const char* CannotReplaceTable = "Cannot replace the table file \"%s\"; the old table is kept.";

// Expressions of index keys and filters.
inline constexpr const char* IndexUnknownField = "Index based on unknown field \"%s\".";
inline constexpr const char* IndexInvalidFieldType = "Field \"%s\" is an invalid field type to base index on.";
inline constexpr const char* IndexResultTooLong = "Index result for \"%s\" too long, >100 characters (%d).";
inline constexpr const char* ExpressionDivideByZero = "Integer division by zero in expression \"%s\".";

// Filters and expressions evaluated on a table object's current record.
inline constexpr const char* NotBooleanFilter = "Filter expression \"%s\" does not give a boolean value.";
inline constexpr const char* NoCurrentRecord = "There is no current record to evaluate the expression on.";

}  // namespace dbf::msg
