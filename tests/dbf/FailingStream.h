// A memory stream that fails on demand, to simulate a full disk or a broken
// device: from the Nth write (or read) on, each transfer moves at most a given
// number of bytes (none by default). Counting starts at 1 and covers every
// transfer, positioned or not.
#pragma once

#include "dbf/stream.h"

#include <algorithm>
#include <climits>
#include <cstddef>

class FailingStream : public dbf::TMemoryStream {
public:
    void FailWritesFrom(int nth, size_t transfer = 0) {
        FFailWritesFrom = nth;
        FWriteTransfer = transfer;
    }
    void FailReadsFrom(int nth) { FFailReadsFrom = nth; }
    int Writes() const { return FWrites; }

    size_t WriteAt(int64_t offset, const void* buffer, size_t count) override {
        const bool failing = ++FWrites >= FFailWritesFrom;
        return TMemoryStream::WriteAt(offset, buffer, failing ? std::min(count, FWriteTransfer) : count);
    }
    size_t ReadAt(int64_t offset, void* buffer, size_t count) override {
        if (++FReads >= FFailReadsFrom) return 0;
        return TMemoryStream::ReadAt(offset, buffer, count);
    }

private:
    int FFailWritesFrom = INT_MAX;
    size_t FWriteTransfer = 0;
    int FWrites = 0;
    int FFailReadsFrom = INT_MAX;
    int FReads = 0;
};
