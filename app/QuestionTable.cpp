#include "app/QuestionTable.h"

#include "dataset/TextConvert.h"
#include "dbf/platform/files.h"

#include <cerrno>
#include <cstring>
#include <utility>
#include <vector>

namespace {

// One rename, remembered so that it can be undone.
struct TMove {
    std::string From;
    std::string To;
};

class TMoveJournal {
public:
    // Renames without replacing; a missing source is nothing to move.
    void Move(const std::string& from, const std::string& to) {
        if (!dbf::platform::FileExists(from)) return;
        if (!dbf::platform::RenameNoReplace(from, to)) {
            const std::string reason = std::strerror(errno);
            UndoAll();
            throw ESwapFailed("Cannot rename \"" + from + "\" to \"" + to + "\". " + reason);
        }
        FDone.push_back({from, to});
    }

private:
    void UndoAll() {
        for (auto it = FDone.rbegin(); it != FDone.rend(); ++it) dbf::platform::RenameNoReplace(it->To, it->From);
        FDone.clear();
    }

    std::vector<TMove> FDone;
};

bool PairExists(const std::string& base) {
    return dbf::platform::FileExists(base + ".dbf") || dbf::platform::FileExists(base + ".dbt");
}

std::string FreeBackupBase(const std::string& folder) {
    for (int n = 1;; ++n) {
        std::string base = folder + "fragen0-" + std::to_string(n);
        if (!PairExists(base)) return base;
    }
}

void MovePair(TMoveJournal& journal, const std::string& fromBase, const std::string& toBase) {
    journal.Move(fromBase + ".dbf", toBase + ".dbf");
    journal.Move(fromBase + ".dbt", toBase + ".dbt");
}

}  // namespace

void AddQuestionFieldDefs(ds::TFieldDefs& defs) {
    defs.Add("Kapitel", ds::ftString, 10);
    defs.Add("FrageNr", ds::ftString, 10);
    defs.Add("Frage", ds::ftMemo, 0);
    for (int n = 1; n <= 7; ++n) {
        defs.Add("Antwort" + std::to_string(n), ds::ftMemo, 0);
        defs.Add("Ant" + std::to_string(n) + "Korrekt", ds::ftBoolean, 0);
    }
}

void SwapInUpgradedTable(const std::string& folder) {
    for (const char* scratch : {"temp.dbf", "temp.dbt"})
        if (!dbf::platform::FileExists(folder + scratch))
            throw ESwapFailed("The upgraded table is incomplete: \"" + folder + scratch + "\" is missing.");
    TMoveJournal journal;
    const std::string backup = folder + "fragen0";
    if (PairExists(backup)) MovePair(journal, backup, FreeBackupBase(folder));
    MovePair(journal, folder + "fragen", backup);
    MovePair(journal, folder + "temp", folder + "fragen");
}

std::optional<int> TopicBlockOf(const std::string& kapitel) {
    const std::optional<int64_t> number = ds::TryTextToInt64(kapitel);
    if (!number || *number < 1 || *number > TopicBlockCount) return std::nullopt;
    return static_cast<int>(*number);
}
