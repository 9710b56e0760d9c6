#include "dataset/DatabaseError.h"

#include <gtest/gtest.h>

namespace {

std::string MessageOf(const std::string& message, const std::string& name) {
    try {
        ds::DatabaseError(message, name);
    } catch (const ds::EDatabaseError& e) {
        return e.what();
    }
    return "(nothing raised)";
}

TEST(DatabaseError, NamedComponentPrefixesItsName) {
    EXPECT_EQ(MessageOf("Cannot perform this operation on a closed dataset", "Table1"),
              "Table1: Cannot perform this operation on a closed dataset");
}

TEST(DatabaseError, UnnamedComponentRaisesThePlainMessage) {
    EXPECT_EQ(MessageOf("Cannot perform this operation on a closed dataset", ""),
              "Cannot perform this operation on a closed dataset");
}

}  // namespace
