// TTableRebuilder: writes a new table file (and memo file) beside an open
// one, in the same dialect and language, with a given field layout and the
// records that are kept. It is the common work of emptying, packing and
// restructuring a table; replacing the old files is the caller's business.
//
// Contract:
// - The source is only read, and only by Build: the target files can still be
//   deleted after the source is closed. The target path must name a file that may be
//   created or emptied; on failure the half-written target is left for the
//   caller to delete (DeleteTargetFiles).
// - New field i takes the value of old field FieldSource[i] (-1: none, it
//   stays blank): bytes are copied as they are when both fields have the same
//   letter and width, memos are copied into the new memo file one after the
//   other (so it holds only the memos still referenced, without gaps), and
//   other fields of the same data type are re-encoded. Fields of different
//   data types stay blank.
// - Automatic-increment values keep their numbers, and the new table's
//   counter never falls behind the old one.
#pragma once

#include "dbf/table_file.h"

#include <cstdint>
#include <string>
#include <vector>

namespace dbf {

class TTableRebuilder {
public:
    TTableRebuilder(TTableFile& source, std::string targetPath);

    // Copies every record (keepDeleted: deleted ones too, still deleted) or none.
    void Build(TFieldDescriptors& newDefs, const std::vector<int>& fieldSource, bool copyRecords, bool keepDeleted);
    // Removes the target table and memo file.
    void DeleteTargetFiles() const;
    std::string TargetMemoPath() const;

private:
    void CreateTarget(TTableFile& target, TFieldDescriptors& newDefs);
    void CopyRecords(TTableFile& target, bool keepDeleted);
    void CopyField(TTableFile& target, int newColumn, int oldColumn, const uint8_t* oldImage, uint8_t* newImage);
    void CopyMemo(TTableFile& target, int newColumn, int oldColumn, const uint8_t* oldImage, uint8_t* newImage);
    void RestoreAutoIncValues(TTableFile& target, const uint8_t* oldImage, uint8_t* newImage) const;

    TTableFile& FSource;
    std::string FTargetPath;
    std::string FMemoExt;
    std::vector<int> FFieldSource;
};

// The path of a table's memo file: the table path with the memo extension
// in place of its own.
std::string MemoPathOf(const std::string& tablePath, const std::string& memoExt);

}  // namespace dbf
