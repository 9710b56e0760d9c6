#include "dbf/dbf_common.h"
#include "dbf/dbf_str.h"

#include <gtest/gtest.h>

namespace {

TEST(DbfError, WriteErrorIsAnEngineError) {
    try {
        throw dbf::EDbfWriteError(dbf::msg::WriteError);
    } catch (const dbf::EDbfError& e) {
        EXPECT_STREQ(e.what(), "Error while writing occurred. (Disk full?)");
        return;
    }
    FAIL() << "EDbfWriteError was not caught as EDbfError";
}

TEST(DbfError, FormatFillsThePlaceholders) {
    EXPECT_EQ(dbf::Format(dbf::msg::InvalidFieldCount, 4096),
              "Invalid field count: 4096 (must be between 1 and 4095).");
    EXPECT_EQ(dbf::Format(dbf::msg::InvalidFieldType, "PIC", 0x13),
              "Cannot create field \"PIC\", VCL field type 13 not supported by DBF.");
}

}  // namespace
