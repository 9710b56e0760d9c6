// What the fuzz targets share: a scratch folder on a memory-backed file
// system, the walk that reads every field of every record, the failures a
// damaged input may end in, and the sample tables of every dialect that the
// memo and append targets start from and the seed corpus is made of.
//
// Contract: a target runs its input through the engine inside
// ExpectingEngineFailures; an engine, dataset or conversion error is a
// defined result and ends the run quietly, anything else (another
// exception, a crash, a sanitizer report) is a finding.
#pragma once

#include "dataset/Abort.h"
#include "dataset/ConvertError.h"
#include "dataset/DatabaseError.h"
#include "dbf/table.h"
#include "dbf/common.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace fuzz {

// A folder of its own for this process, removed on destruction.
class TScratchFolder {
public:
    TScratchFolder();
    ~TScratchFolder();
    TScratchFolder(const TScratchFolder&) = delete;
    TScratchFolder& operator=(const TScratchFolder&) = delete;

    std::string File(const std::string& name) const { return (FPath / name).string(); }
    std::string Path() const { return FPath.string() + "/"; }

private:
    std::filesystem::path FPath;
};

void WriteFile(const std::string& path, const uint8_t* data, size_t size);
void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> ReadFile(const std::string& path);

// Runs step and answers whether it finished; the failures a damaged input is
// allowed to end in are swallowed, every other exception passes.
template <typename Step>
bool ExpectingEngineFailures(Step step) {
    try {
        step();
        return true;
    } catch (const dbf::ETableError&) {
    } catch (const ds::EDatabaseError&) {
    } catch (const ds::EConvertError&) {
    } catch (const ds::EAbort&) {
    }
    return false;
}

// Walks every record, deleted ones included, and reads every field as text
// (memo fields through their memo file); answers the number of records seen.
int ReadEveryField(dbf::TTable& table);

// One table of a dialect, made by the engine, with its memo file.
struct TSampleTable {
    int Level = 4;               // 3, 4, 7 or 25 (FoxPro)
    std::vector<uint8_t> Table;  // the .dbf bytes
    std::vector<uint8_t> Memo;   // the .dbt or .fpt bytes
    std::string MemoExtension;   // ".dbt" or ".fpt"
};

inline constexpr int kSampleLevels[] = {3, 4, 7, 25};

// Creates the sample table of a level in folder (as "sample<level>.dbf") and
// answers its bytes: fields of the dialect's kinds, memos of one block, of
// several blocks and empty, and one deleted record.
TSampleTable MakeSampleTable(const TScratchFolder& folder, int level);

// The sample table of level kSampleLevels[selector % 4], made once per process.
const TSampleTable& SampleTable(uint8_t selector);

}  // namespace fuzz
