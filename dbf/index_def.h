// TTableIndexDef: one index definition of a table object: the index name (a
// tag of the production index, or a single index file when it has an
// extension), its key expression, its options and whether it was only taken
// over from an open production index (temporary). Name and expression are
// kept trimmed and upper-cased.
#pragma once

#include <string>
#include <vector>

namespace dbf {

enum TIndexOption : unsigned {
    ixPrimary = 1,          // distinct: a duplicate key is a key violation
    ixUnique = 2,           // only the first record of a key is indexed
    ixDescending = 4,
    ixCaseInsensitive = 8,  // accepted, no effect
    ixExpression = 16,
};
using TIndexOptions = unsigned;

class TTableIndexDef {
public:
    const std::string& IndexFile() const { return FIndexFile; }
    void SetIndexFile(const std::string& value);
    const std::string& Expression() const { return FExpression; }
    void SetExpression(const std::string& value);
    const std::string& SortField() const { return FExpression; }
    TIndexOptions Options() const { return FOptions; }
    void SetOptions(TIndexOptions value) { FOptions = value; }
    bool Temporary() const { return FTemporary; }
    void SetTemporary(bool value) { FTemporary = value; }
    // Copies name, expression and options.
    void Assign(const TTableIndexDef& other);

private:
    std::string FIndexFile;
    std::string FExpression;
    TIndexOptions FOptions = 0;
    bool FTemporary = false;
};

// The index definitions of a table object.
class TTableIndexDefs {
public:
    TTableIndexDef& Add();
    int Count() const { return static_cast<int>(FItems.size()); }
    TTableIndexDef& Items(int i) { return FItems[static_cast<size_t>(i)]; }
    // The first definition named exactly indexName (after normalising), or null.
    TTableIndexDef* GetIndexByName(const std::string& indexName);
    // The first definition whose expression equals fields, trimmed and upper-cased; an empty text finds none.
    TTableIndexDef* GetIndexByField(const std::string& fields);
    void Remove(const TTableIndexDef* def);
    void Clear() { FItems.clear(); }

private:
    std::vector<TTableIndexDef> FItems;
};

// Trimmed of blanks and upper-cased (ASCII letters; index names and
// expressions are dBASE identifiers).
std::string NormalizedIndexText(const std::string& text);

}  // namespace dbf
