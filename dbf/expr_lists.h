// Word lists of the expression engine.
//
// TExpressList holds words sorted by name, compared case-insensitively, and
// allows several words of one name (the overloads of an operator): a word is
// inserted before the words of equal name, so among them the one added last
// comes first. Words with a short name are also kept in a second list sorted
// by short name, which a search falls back to. Words are shared (reference
// counted) between the lists that hold them.
//
// The seven shared lists of the word table are built on first use and live
// until program end; parsers copy references to their words.
#pragma once

#include "dbf/expr_words.h"

#include <string>
#include <vector>

namespace dbf {

class TExpressList {
public:
    void Add(const TExprWordPtr& word);
    void AddList(const TExpressList& other);
    // Position of the first word of that name, falling back to the short
    // names; false when neither has it.
    bool Search(const std::string& name, int& index) const;
    // Removes that word object (every entry of it).
    void Remove(const TExprWord* word);
    void Clear();
    void Swap(int a, int b);
    int Count() const { return static_cast<int>(FItems.size()); }
    const TExprWordPtr& Item(int index) const { return FItems[static_cast<size_t>(index)]; }

private:
    std::vector<TExprWordPtr> FItems;
    std::vector<TExprWordPtr> FShortList;  // sorted by short name
};

// Case-insensitive ordering of names as the lists use it: <0, 0, >0.
int CompareWordNames(const std::string& a, const std::string& b);

// The shared lists of the word table.
struct TWordTable {
    TExpressList General;
    TExpressList InsensGeneral;
    TExpressList InsensNoPartial;
    TExpressList InsensPartial;
    TExpressList SensGeneral;
    TExpressList SensNoPartial;
    TExpressList SensPartial;
};

const TWordTable& WordTable();

// Registration (expr_functions.cpp, expr_functions_added.cpp).
void RegisterCoreWords(TWordTable& table);
void RegisterAddedWords(TWordTable& table);

}  // namespace dbf
