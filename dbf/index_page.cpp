#include "dbf/index_page.h"

#include "dbf/index_format.h"

#include <cstring>

namespace dbf {

using namespace ixlayout;

TIndexPage::TIndexPage(int nodeSize, int nodeHeader, int entryHeader, int keyRecLen, int numKeys)
    : FPageBuffer(static_cast<size_t>(nodeSize), 0),
      FNodeHeader(nodeHeader),
      FEntryHeader(entryHeader),
      FKeyRecLen(keyRecLen),
      FNumKeys(numKeys) {}

uint8_t* TIndexPage::GetEntry(int i) { return FPageBuffer.data() + FNodeHeader + i * FKeyRecLen; }

int32_t TIndexPage::GetNumEntries() const { return static_cast<int32_t>(Get32(FPageBuffer.data())); }

void TIndexPage::SetNumEntries(int32_t value) { Put32(FPageBuffer.data(), static_cast<uint32_t>(value)); }

// Slots beyond the node are never touched: a full leaf has no zeroed slot behind it.
void TIndexPage::ZeroEntry(int i) {
    if (i < 0 || i >= FNumKeys) return;
    std::memset(GetEntry(i), 0, static_cast<size_t>(FKeyRecLen));
}

void TIndexPage::MoveEntries(int from, int count, int delta) {
    if (count <= 0) return;
    std::memmove(GetEntry(from + delta), GetEntry(from), static_cast<size_t>(count) * FKeyRecLen);
}

void TIndexPage::SetPointer(int i, int32_t value) {
    if (FInner) {
        SetRecLowerPageNoOfEntry(i, 0, value);
    } else {
        SetRecLowerPageNoOfEntry(i, value, 0);
    }
}

void TIndexPage::Clear() {
    std::memset(FPageBuffer.data(), 0, FPageBuffer.size());
    FInner = false;
}

TMdxPage::TMdxPage(int keyRecLen, int numKeys)
    : TIndexPage(kMdxNodeSize, kMdxNodeHeader, kMdxEntryHeader, keyRecLen, numKeys) {}

int32_t TMdxPage::GetLowerPageNo(int i) const { return static_cast<int32_t>(Get32(GetEntry(i))); }

int32_t TMdxPage::GetRecNo(int i) const { return static_cast<int32_t>(Get32(GetEntry(i))); }

// Inner when the slot behind the last key holds a child pointer; a leaf keeps it zero.
bool TMdxPage::GetIsInnerNode() const {
    const int32_t n = GetNumEntries();
    return n >= 0 && n < NumKeys() && Get32(GetEntry(n)) != 0;
}

void TMdxPage::SetRecLowerPageNoOfEntry(int i, int32_t recNo, int32_t pageNo) {
    Put32(GetEntry(i), static_cast<uint32_t>(IsInner() ? pageNo : recNo));
}

TNdxPage::TNdxPage(int keyRecLen, int numKeys)
    : TIndexPage(kNdxNodeSize, kNdxNodeHeader, kNdxEntryHeader, keyRecLen, numKeys) {}

int32_t TNdxPage::GetLowerPageNo(int i) const { return static_cast<int32_t>(Get32(GetEntry(i))); }

int32_t TNdxPage::GetRecNo(int i) const { return static_cast<int32_t>(Get32(GetEntry(i) + 4)); }

bool TNdxPage::GetIsInnerNode() const {
    return Get32(GetEntry(0)) != 0;
}

void TNdxPage::SetRecLowerPageNoOfEntry(int i, int32_t recNo, int32_t pageNo) {
    Put32(GetEntry(i), static_cast<uint32_t>(pageNo));
    Put32(GetEntry(i) + 4, static_cast<uint32_t>(recNo));
}

}  // namespace dbf
