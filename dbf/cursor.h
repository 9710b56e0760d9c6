// Cursors: the order in which the table object walks the records of a file.
// TVirtualCursor is the abstract base of every cursor (physical order here,
// index order in the index layer); TTableCursor walks a table file in physical
// order.
//
// Contract:
// - Position 0 stands before the first record, record count + 1 behind the
//   last; Next and Prev answer whether they reached a record.
// - A cursor never skips anything: deleted and filtered records are the
//   table object's business. It reads no records, it only moves a number.
// - The record count comes from the file size, so records another process
//   appends become reachable without reopening.
// - A cursor does not own its file; the file must outlive it.
#pragma once

#include "dbf/paged_file.h"

#include <cstdint>

namespace dbf {

class TTableFile;

class TVirtualCursor {
public:
    explicit TVirtualCursor(TPagedFile* file) : FFile(file) {}
    virtual ~TVirtualCursor() = default;
    TVirtualCursor(const TVirtualCursor&) = delete;
    TVirtualCursor& operator=(const TVirtualCursor&) = delete;

    // The slots, in order.
    virtual int32_t GetPhysicalRecno() = 0;
    virtual int32_t GetSequentialRecno() = 0;
    virtual int32_t GetSequentialRecordCount() = 0;
    virtual void SetPhysicalRecno(int32_t recNo) = 0;
    virtual void SetSequentialRecno(int32_t recNo) = 0;
    virtual bool Next() = 0;
    virtual bool Prev() = 0;
    virtual void First() = 0;
    virtual void Last() = 0;

    TPagedFile* File() const { return FFile; }
    int32_t RecordSize() const { return FFile != nullptr ? FFile->RecordSize() : 0; }

private:
    TPagedFile* FFile;
};

class TTableCursor : public TVirtualCursor {
public:
    explicit TTableCursor(TTableFile& file);

    int32_t GetPhysicalRecno() override { return FPhysicalRecNo; }
    int32_t GetSequentialRecno() override { return FPhysicalRecNo; }
    int32_t GetSequentialRecordCount() override;
    void SetPhysicalRecno(int32_t recNo) override { FPhysicalRecNo = recNo; }
    void SetSequentialRecno(int32_t recNo) override { FPhysicalRecNo = recNo; }
    bool Next() override;
    bool Prev() override;
    void First() override { FPhysicalRecNo = 0; }
    void Last() override;

private:
    int32_t FPhysicalRecNo = 0;
};

}  // namespace dbf
