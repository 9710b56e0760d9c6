// Perl's XBase::Index reads the single and production indexes the engine
// writes, in the engine's key order, over enough records for several levels.
#include "IndexTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

using namespace dbf;

namespace {

const std::string kPeers = std::string(QUARZEL_SOURCE_DIR) + "/tests/dbf/peers/";

std::string RunPeer(const std::string& command) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen((command + " 2>&1").c_str(), "r"), pclose);
    std::string output;
    char chunk[4096];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, pipe.get())) > 0) output.append(chunk, got);
    return output;
}

struct InteropCase {
    const char* Name;
    const char* IndexName;
    const char* File;
    const char* Tag;  // empty for a single index
};

class IndexInteropTest : public ::testing::TestWithParam<InteropCase> {};

TEST_P(IndexInteropTest, PerlXBaseWalksTheEnginesOrder) {
    if (std::system("perl -MXBase::Index -e 1 >/dev/null 2>&1") != 0) GTEST_SKIP() << "peer missing: XBase::Index";
    const InteropCase& c = GetParam();
    ScratchFolder folder;
    CreateKeyTable(folder.File("peer.dbf"));
    std::string expected;
    {
        TTableFile file;
        OpenTable(file, folder.File("peer.dbf"), pfExclusiveOpen);
        file.OpenIndex(c.IndexName, "NAME", 0, true);
        for (int i = 0; i < 3000; ++i) {
            auto record = KeyRecord(file, Numbered("K", 100000 + (i * 7919) % 3000));
            file.Insert(record.data());
        }
        TIndexFile* index = file.GetIndexByName(c.IndexName);
        ASSERT_NE(index, nullptr);
        index->SetIndexName(c.IndexName);
        index->ForEachEntry([&](const uint8_t* key, int32_t recNo) {
            std::string text(reinterpret_cast<const char*>(key), 10);
            text.erase(text.find_last_not_of(' ') + 1);
            expected += text + "\t" + std::to_string(recNo) + "\n";
        });
    }
    std::string command = "perl " + kPeers + "read_xbase_index.pl " + folder.File(c.File);
    if (*c.Tag) command += std::string(" ") + c.Tag;
    EXPECT_EQ(RunPeer(command), expected);
    EXPECT_EQ(std::count(expected.begin(), expected.end(), '\n'), 3000);
}

INSTANTIATE_TEST_SUITE_P(Kinds, IndexInteropTest,
                         ::testing::Values(InteropCase{"single", "peer.ndx", "peer.ndx", ""},
                                           InteropCase{"production", "byname", "peer.mdx", "BYNAME"}),
                         [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
