#include "dbf/append_batch.h"

namespace dbf {

TAppendBatch::TAppendBatch(TTable& table, TAppendBatchLimits limits) : FTable(table) {
    FTable.BeginAppendBatch(limits);
}

TAppendBatch::~TAppendBatch() {
    if (!FFinished) FTable.EndAppendBatchQuietly();
}

void TAppendBatch::Finish() {
    FFinished = true;
    FTable.EndAppendBatch();
}

}  // namespace dbf
