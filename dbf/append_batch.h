// TAppendBatch: a scope in which the appends to a table are made in batches.
// In shared modes the table file then appends a run of records under one
// hold of the header lock and rewrites the header once per run instead of
// once per record (table_file_batch.cpp); without sharing nothing changes.
//
// Contract:
// - While the scope lasts, Append/Post and AppendRecord on the table append
//   as usual and answer the same record numbers; other processes see every
//   record once it is written and the header count once its run ends.
// - A run ends after Limits.MaxRecords records or once Limits.MaxHold has
//   passed since it began, checked at each append. The hold spans the
//   caller's own work between two appends too: a caller that may wait
//   between records (for input, for the user) ends the scope first.
// - Finish ends the last run and raises ETableWriteError when its header
//   write fails; the destructor ends it too but cannot report that failure
//   (the next open takes the count from the file size again).
#pragma once

#include "dbf/table.h"

namespace dbf {

class TAppendBatch {
public:
    explicit TAppendBatch(TTable& table, TAppendBatchLimits limits = {});
    ~TAppendBatch();
    TAppendBatch(const TAppendBatch&) = delete;
    TAppendBatch& operator=(const TAppendBatch&) = delete;

    void Finish();

private:
    TTable& FTable;
    bool FFinished = false;
};

}  // namespace dbf
