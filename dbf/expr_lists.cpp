#include "dbf/expr_lists.h"

#include <algorithm>
#include <cctype>

namespace dbf {

int CompareWordNames(const std::string& a, const std::string& b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const int ca = std::toupper(static_cast<unsigned char>(a[i]));
        const int cb = std::toupper(static_cast<unsigned char>(b[i]));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

namespace {

bool NameLess(const TExprWordPtr& word, const std::string& name) { return CompareWordNames(word->Name(), name) < 0; }

bool ShortNameLess(const TExprWordPtr& word, const std::string& name) {
    return CompareWordNames(word->GetShortName(), name) < 0;
}

}  // namespace

void TExpressList::Add(const TExprWordPtr& word) {
    FItems.insert(std::lower_bound(FItems.begin(), FItems.end(), word->Name(), NameLess), word);
    const std::string shortName = word->GetShortName();
    if (!shortName.empty())
        FShortList.insert(std::lower_bound(FShortList.begin(), FShortList.end(), shortName, ShortNameLess), word);
}

void TExpressList::AddList(const TExpressList& other) {
    for (const TExprWordPtr& word : other.FItems) Add(word);
}

bool TExpressList::Search(const std::string& name, int& index) const {
    auto found = std::lower_bound(FItems.begin(), FItems.end(), name, NameLess);
    if (found != FItems.end() && CompareWordNames((*found)->Name(), name) == 0) {
        index = static_cast<int>(found - FItems.begin());
        return true;
    }
    auto shortFound = std::lower_bound(FShortList.begin(), FShortList.end(), name, ShortNameLess);
    if (shortFound == FShortList.end() || CompareWordNames((*shortFound)->GetShortName(), name) != 0) return false;
    auto inMain = std::find(FItems.begin(), FItems.end(), *shortFound);
    if (inMain == FItems.end()) return false;
    index = static_cast<int>(inMain - FItems.begin());
    return true;
}

void TExpressList::Remove(const TExprWord* word) {
    auto same = [word](const TExprWordPtr& item) { return item.get() == word; };
    FItems.erase(std::remove_if(FItems.begin(), FItems.end(), same), FItems.end());
    FShortList.erase(std::remove_if(FShortList.begin(), FShortList.end(), same), FShortList.end());
}

void TExpressList::Clear() {
    FItems.clear();
    FShortList.clear();
}

void TExpressList::Swap(int a, int b) { std::swap(FItems[static_cast<size_t>(a)], FItems[static_cast<size_t>(b)]); }

const TWordTable& WordTable() {
    static const TWordTable table = [] {
        TWordTable built;
        RegisterCoreWords(built);
        RegisterAddedWords(built);
        return built;
    }();
    return table;
}

}  // namespace dbf
