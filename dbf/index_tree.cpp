// TIndexFile: the B-tree of the selected tag. FPath holds one page object per
// level, root first; each level's entry number is the entry that leads to the
// level below. An inner entry's key is the last key of its child's sub-tree;
// insertion splits every full node on the way down, so a node never has to
// split upwards; a node that becomes empty is unlinked from the nearest
// ancestor that keeps other children.
#include "dbf/index_file.h"

#include "dbf/index_format.h"

#include <cstring>

namespace dbf {

using namespace ixlayout;

namespace {

// Deeper than any tree of 2^31 keys with the smallest fan-out (2); a path
// that goes on beyond it runs in a circle.
constexpr size_t kMaxDepth = 32;

}  // namespace

std::unique_ptr<TIndexPage> TIndexFile::NewPage() const {
    const int keyRecLen = Get16(TagHeader() + kHdrKeyRecLen);
    if (FIsMdx) return std::make_unique<TMdxPage>(keyRecLen, NumKeys());
    return std::make_unique<TNdxPage>(keyRecLen, NumKeys());
}

TIndexPage& TIndexFile::PathPage(size_t level) {
    if (level >= kMaxDepth) Damaged("the tree is deeper than any tree can be");
    while (FPath.size() <= level) FPath.push_back(NewPage());
    return *FPath[level];
}

void TIndexFile::LoadNode(size_t level, int32_t pageNo) {
    TIndexPage& page = PathPage(level);
    if (page.PageNo() == pageNo && !NeedLocks()) return;
    const int blocks = FNodeSize / kBlockSize;
    if (pageNo < FHeaderSize / kBlockSize || pageNo > FileBlocks() - blocks)
        Damaged("node block " + std::to_string(pageNo) + " lies outside the file");
    for (size_t upper = 0; upper < level; ++upper)
        if (FPath[upper]->PageNo() == pageNo) Damaged("node block " + std::to_string(pageNo) + " is its own descendant");
    page.SetPageNo(-1);
    if (ReadBlock(page.Buffer(), FNodeSize, int64_t{pageNo} * kBlockSize) < FNodeSize)
        Damaged("node block " + std::to_string(pageNo) + " is cut short");
    const int32_t entries = page.GetNumEntries();
    if (entries < 0 || entries > NumKeys())
        Damaged("node block " + std::to_string(pageNo) + " claims " + std::to_string(entries) + " entries");
    page.SetInner(page.GetIsInnerNode());
    if (page.IsInner() && entries > NumKeys() - 1)
        Damaged("inner node block " + std::to_string(pageNo) + " has no room for its last child");
    page.SetPageNo(pageNo);
    page.SetEntryNo(0);
}

void TIndexFile::LoadRoot() {
    ResyncHeaders();
    LoadNode(0, RootPage());
}

void TIndexFile::WriteNode(const TIndexPage& page) {
    WriteBlock(page.Buffer(), FNodeSize, int64_t{page.PageNo()} * kBlockSize);
}

// The first entry whose key is not smaller than key, or with afterEqual the
// first whose key is greater; NumEntries when there is none.
int TIndexFile::FindPos(const TIndexPage& page, const uint8_t* key, bool afterEqual) const {
    int low = 0;
    int high = page.GetNumEntries();
    while (low < high) {
        const int middle = (low + high) / 2;
        const int result = CompareKeys(key, page.GetKeyDataFromEntry(middle));
        if (result < 0 || (result == 0 && !afterEqual)) {
            high = middle;
        } else {
            low = middle + 1;
        }
    }
    return low;
}

// Without splitting; answers the leaf's level, its entry number set to the
// position of key.
size_t TIndexFile::DescendToLeaf(const uint8_t* key, bool afterEqual) {
    LoadRoot();
    size_t level = 0;
    while (FPath[level]->IsInner()) {
        TIndexPage& page = *FPath[level];
        page.SetEntryNo(FindPos(page, key, afterEqual));
        LoadNode(level + 1, page.GetLowerPageNo(page.EntryNo()));
        ++level;
    }
    FPath[level]->SetEntryNo(FindPos(*FPath[level], key, afterEqual));
    FPath.resize(level + 1);
    return level;
}

// From the entry of the given level down to the first entry of a leaf.
void TIndexFile::DescendLeftmost(size_t level) {
    while (FPath[level]->IsInner()) {
        LoadNode(level + 1, FPath[level]->GetLowerPageNo(FPath[level]->EntryNo()));
        ++level;
        FPath[level]->SetEntryNo(0);
    }
    FPath.resize(level + 1);
}

// Moves from the leaf at leafLevel to the first entry of the next leaf.
bool TIndexFile::StepNextLeaf(size_t leafLevel) {
    size_t level = leafLevel;
    while (level > 0) {
        --level;
        TIndexPage& page = *FPath[level];
        if (page.EntryNo() >= page.GetNumEntries()) continue;
        page.SetEntryNo(page.EntryNo() + 1);
        DescendLeftmost(level);
        if (FPath.size() != leafLevel + 1) Damaged("leaves lie at different depths");
        return true;
    }
    return false;
}

void TIndexFile::SetEntryKey(TIndexPage& page, int i, const uint8_t* key) {
    uint8_t* data = page.GetKeyDataFromEntry(i);
    std::memset(data, 0, static_cast<size_t>(page.KeyRecLen() - FEntryHeader));
    std::memcpy(data, key, static_cast<size_t>(KeyLen()));
}

// A new root above the old one, holding only the pointer to it; the split
// that follows gives it its first key.
void TIndexFile::AddNewLevel() {
    auto root = NewPage();
    root->Clear();
    root->SetInner(true);
    FHeaderLocked = true;
    LockPage(0, true);
    root->SetPageNo(GetNewPageNo());
    const TIndexPage& old = *FPath[0];
    const int last = old.IsInner() ? old.GetNumEntries() : old.GetNumEntries() - 1;
    SetEntryKey(*root, 0, old.GetKeyDataFromEntry(last));
    root->SetPointer(0, old.PageNo());
    root->SetNumEntries(0);
    WriteNode(*root);
    Put32(TagHeader() + kHdrRootPage, static_cast<uint32_t>(root->PageNo()));
    WriteTagHeader();
    UnlockPage(0);
    FHeaderLocked = false;
    FPath.insert(FPath.begin(), std::move(root));
}

// Splits the child below parentLevel (full) into itself and a new right
// sibling; the parent, which has room, takes the left half's last key.
void TIndexFile::Split(size_t parentLevel, const uint8_t* key, bool afterEqual) {
    TIndexPage& parent = *FPath[parentLevel];
    TIndexPage& node = *FPath[parentLevel + 1];
    const bool inner = node.IsInner();
    const int a = node.GetNumEntries();
    int b = a / 2 + ((inner && a % 2 == 1) ? 1 : 0);
    int c = a - b;
    const int e = FindPos(node, key, afterEqual);
    if (b < c && b < e) {
        ++b;
        --c;
    } else if (c < b && e < b) {
        --b;
        ++c;
    }
    auto sibling = NewPage();
    sibling->Clear();
    sibling->SetInner(inner);
    sibling->SetPageNo(GetNewPageNo());
    const int moved = inner ? c + 1 : c;
    std::memcpy(sibling->GetEntry(0), node.GetEntry(b), static_cast<size_t>(moved) * node.KeyRecLen());
    sibling->SetNumEntries(c);
    for (int i = b; i < node.NumKeys(); ++i) node.ZeroEntry(i);
    node.SetNumEntries(inner ? b - 1 : b);
    WriteNode(*sibling);
    WriteNode(node);

    const int p = parent.EntryNo();
    const int parentKeys = parent.GetNumEntries();
    parent.MoveEntries(p, parentKeys + 1 - p, 1);
    SetEntryKey(parent, p, node.GetKeyDataFromEntry(b - 1));
    parent.SetPointer(p, node.PageNo());
    parent.SetPointer(p + 1, sibling->PageNo());
    parent.SetNumEntries(parentKeys + 1);
    WriteNode(parent);
    FPath.resize(parentLevel + 2);
}

void TIndexFile::InitEmptyRoot() {
    FPath.clear();
    TIndexPage& root = PathPage(0);
    root.Clear();
    root.SetPageNo(GetNewPageNo());
    Put32(TagHeader() + kHdrRootPage, static_cast<uint32_t>(root.PageNo()));
    WriteTagHeader();
    WriteNode(root);
}

void TIndexFile::LocalInsert(size_t level, int pos, int32_t recNo, const uint8_t* key) {
    TIndexPage& page = *FPath[level];
    const int n = page.GetNumEntries();
    if (n >= page.NumKeys()) Damaged("a leaf has no room although it was split");
    page.MoveEntries(pos, n - pos, 1);
    page.ZeroEntry(pos);
    SetEntryKey(page, pos, key);
    page.SetPointer(pos, recNo);
    page.SetNumEntries(n + 1);
    page.ZeroEntry(n + 1);
    page.SetEntryNo(pos);
    WriteNode(page);
    if (pos == n) PropagateLastKey(level);
}

// The node's last key changed: its parent entry takes it, and so on upwards
// while the entry is the last one of its node.
void TIndexFile::PropagateLastKey(size_t level) {
    const TIndexPage& page = *FPath[level];
    const int last = page.IsInner() ? page.GetNumEntries() : page.GetNumEntries() - 1;
    if (last < 0) return;
    std::vector<uint8_t> key(page.GetKeyDataFromEntry(last), page.GetKeyDataFromEntry(last) + KeyLen());
    while (level > 0) {
        --level;
        TIndexPage& parent = *FPath[level];
        SetEntryKey(parent, parent.EntryNo(), key.data());
        WriteNode(parent);
        if (parent.EntryNo() != parent.GetNumEntries()) return;
    }
}

// Removes the leaf's current entry. A leaf left empty is unlinked from the
// nearest ancestor that has other children; its block stays unused.
void TIndexFile::LocalDelete(size_t leafLevel) {
    TIndexPage& leaf = *FPath[leafLevel];
    const int n = leaf.GetNumEntries();
    const int pos = leaf.EntryNo();
    if (n == 1) {
        for (size_t level = leafLevel; level-- > 0;) {
            if (FPath[level]->GetNumEntries() == 0) continue;
            RemoveInnerEntry(level);
            return;
        }
    }
    leaf.MoveEntries(pos + 1, n - pos - 1, -1);
    leaf.SetNumEntries(n - 1);
    leaf.ZeroEntry(n - 1);
    WriteNode(leaf);
    if (pos == n - 1 && n > 1) PropagateLastKey(leafLevel);
}

void TIndexFile::RemoveInnerEntry(size_t level) {
    TIndexPage& page = *FPath[level];
    const int keys = page.GetNumEntries();
    const int p = page.EntryNo();
    page.MoveEntries(p + 1, keys - p, -1);
    page.ZeroEntry(keys);
    page.SetNumEntries(keys - 1);
    page.SetEntryNo(std::min(p, keys - 1));
    WriteNode(page);
    FPath.resize(level + 1);
    if (p == keys) PropagateLastKey(level);
}

void TIndexFile::ForEachEntry(const std::function<void(const uint8_t* key, int32_t recNo)>& visit) {
    if (FSelectedIndex < 0) return;
    LoadRoot();
    FPath[0]->SetEntryNo(0);
    DescendLeftmost(0);
    const size_t leafLevel = FPath.size() - 1;
    do {
        const TIndexPage& leaf = *FPath[leafLevel];
        for (int i = 0; i < leaf.GetNumEntries(); ++i) visit(leaf.GetKeyDataFromEntry(i), leaf.GetRecNo(i));
    } while (StepNextLeaf(leafLevel));
}

}  // namespace dbf
