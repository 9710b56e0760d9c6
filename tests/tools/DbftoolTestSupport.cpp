#include "DbftoolTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

namespace dbftool_test {

void CreateTable(const std::string& table, int level, const std::vector<std::string>& fieldsAndOptions) {
    std::vector<std::string> arguments{"create", table, "--level", std::to_string(level)};
    arguments.insert(arguments.end(), fieldsAndOptions.begin(), fieldsAndOptions.end());
    const RunResult result = RunTool(arguments);
    ASSERT_EQ(result.ExitCode, 0) << result.Err;
    EXPECT_EQ(result.Err, "");
}

void AppendLines(const std::string& table, const std::string& jsonLines) {
    const RunResult result = RunToolWithInput({"append", table}, jsonLines);
    ASSERT_EQ(result.ExitCode, 0) << result.Err;
    EXPECT_EQ(result.Err, "");
    EXPECT_EQ(result.Out, "");
}

std::vector<Json> Dump(const std::string& table, bool withDeleted) {
    std::vector<std::string> arguments{"dump", table};
    if (withDeleted) arguments.push_back("--deleted");
    const RunResult result = RunTool(arguments);
    EXPECT_EQ(result.ExitCode, 0) << result.Err;
    EXPECT_EQ(result.Err, "");
    return JsonLines(result.Out);
}

Json Info(const std::string& table) {
    const RunResult result = RunTool({"info", table});
    EXPECT_EQ(result.ExitCode, 0) << result.Err;
    EXPECT_EQ(result.Err, "");
    const std::vector<Json> lines = JsonLines(result.Out);
    EXPECT_EQ(lines.size(), 1u) << result.Out;
    return lines.empty() ? Json() : lines.front();
}

std::vector<Json> InPeerOrder(const std::vector<Json>& dumpWithDeleted) {
    std::vector<Json> ordered;
    for (const bool deleted : {false, true}) {
        for (const Json& record : dumpWithDeleted) {
            if (record.at("_deleted").get<bool>() != deleted) continue;
            Json shaped = record;
            shaped.erase("_recno");
            ordered.push_back(std::move(shaped));
        }
    }
    return ordered;
}

namespace {

bool SameValue(const Json& a, const Json& b) {
    if (a.is_number() && b.is_number()) {
        const double x = a.get<double>();
        const double y = b.get<double>();
        return x == y || std::fabs(x - y) <= 1e-9 * std::max(std::fabs(x), std::fabs(y));
    }
    return a == b;
}

}  // namespace

void ExpectSameRecords(const std::vector<Json>& ours, const std::vector<Json>& peers, const std::string& context) {
    ASSERT_EQ(ours.size(), peers.size()) << context;
    for (size_t i = 0; i < ours.size(); ++i) {
        const Json& a = ours[i];
        const Json& b = peers[i];
        std::vector<std::string> keysA, keysB;
        for (const auto& item : a.items()) keysA.push_back(item.key());
        for (const auto& item : b.items()) keysB.push_back(item.key());
        ASSERT_EQ(keysA, keysB) << context << ", record " << i;
        for (const std::string& key : keysA)
            EXPECT_TRUE(SameValue(a.at(key), b.at(key)))
                << context << ", record " << i << ", field " << key << ": dbftool " << a.at(key).dump()
                << ", peer " << b.at(key).dump();
    }
}

std::string EncodingOf(const std::string& table) {
    const Json info = Info(table);
    return "cp" + std::to_string(info.value("codePage", 0));
}

long long FileSize(const std::string& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    return error ? -1 : static_cast<long long>(size);
}

}  // namespace dbftool_test
