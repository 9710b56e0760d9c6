// TIndexPage: one node of an index tree in memory, with its block number,
// and the entry accessors of its layout. TMdxPage reads production-index
// nodes (8-byte node header, entry = RecBlockNo + key), TNdxPage single-index
// nodes (4-byte node header, entry = LowerPageNo + RecNo + key); the byte
// layouts are in index_format.h.
//
// Contract: entry numbers run from 0 to NumKeys - 1 (the callers keep them
// there); an inner node with n keys holds n + 1 children, entry n being the
// pointer to the last child. Accessors neither read nor write the file.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace dbf {

class TIndexPage {
public:
    TIndexPage(int nodeSize, int nodeHeader, int entryHeader, int keyRecLen, int numKeys);
    virtual ~TIndexPage() = default;

    // Virtual node operations, in slot order.
    virtual uint8_t* GetEntry(int i);
    virtual int32_t GetLowerPageNo(int i) const = 0;
    virtual uint8_t* GetKeyDataFromEntry(int i) { return GetEntry(i) + FEntryHeader; }
    virtual int32_t GetNumEntries() const;
    virtual int32_t GetRecNo(int i) const = 0;
    // Whether the node's bytes say inner node (see the layouts); read once
    // per load into IsInner, which the tree then keeps up to date.
    virtual bool GetIsInnerNode() const = 0;
    virtual void SetNumEntries(int32_t value);
    virtual void SetRecLowerPageNoOfEntry(int i, int32_t recNo, int32_t pageNo) = 0;

    const uint8_t* GetEntry(int i) const { return const_cast<TIndexPage*>(this)->GetEntry(i); }
    const uint8_t* GetKeyDataFromEntry(int i) const { return const_cast<TIndexPage*>(this)->GetKeyDataFromEntry(i); }
    // Entry i's child (inner node) or record number (leaf).
    int32_t Pointer(int i) const { return FInner ? GetLowerPageNo(i) : GetRecNo(i); }
    // Stores a child (inner node) or a record number (leaf) in entry i.
    void SetPointer(int i, int32_t value);
    // The entries that hold a child (inner: keys + 1) or a record (leaf).
    int32_t CountedEntries() const { return FInner ? GetNumEntries() + 1 : GetNumEntries(); }
    bool IsFull() const { return GetNumEntries() >= (FInner ? FNumKeys - 1 : FNumKeys); }
    void ZeroEntry(int i);
    // Moves count entries from entry from to entry from + delta; every slot
    // involved lies inside the node.
    void MoveEntries(int from, int count, int delta);
    void Clear();

    uint8_t* Buffer() { return FPageBuffer.data(); }
    const uint8_t* Buffer() const { return FPageBuffer.data(); }
    int NodeSize() const { return static_cast<int>(FPageBuffer.size()); }
    int KeyRecLen() const { return FKeyRecLen; }
    int NumKeys() const { return FNumKeys; }
    int32_t PageNo() const { return FPageNo; }
    void SetPageNo(int32_t value) { FPageNo = value; }
    int EntryNo() const { return FEntryNo; }
    void SetEntryNo(int value) { FEntryNo = value; }
    bool IsInner() const { return FInner; }
    void SetInner(bool value) { FInner = value; }

private:
    bool FInner = false;
    std::vector<uint8_t> FPageBuffer;
    int FNodeHeader;
    int FEntryHeader;
    int FKeyRecLen;
    int FNumKeys;
    int32_t FPageNo = -1;
    int FEntryNo = 0;
};

class TMdxPage : public TIndexPage {
public:
    TMdxPage(int keyRecLen, int numKeys);
    int32_t GetLowerPageNo(int i) const override;
    int32_t GetRecNo(int i) const override;
    bool GetIsInnerNode() const override;
    void SetRecLowerPageNoOfEntry(int i, int32_t recNo, int32_t pageNo) override;
};

class TNdxPage : public TIndexPage {
public:
    TNdxPage(int keyRecLen, int numKeys);
    int32_t GetLowerPageNo(int i) const override;
    int32_t GetRecNo(int i) const override;
    bool GetIsInnerNode() const override;
    void SetRecLowerPageNoOfEntry(int i, int32_t recNo, int32_t pageNo) override;
};

}  // namespace dbf
