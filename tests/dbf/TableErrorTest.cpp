#include "dbf/common.h"
#include "dbf/messages.h"

#include <gtest/gtest.h>

namespace {

TEST(TableError, WriteErrorIsAnEngineError) {
    try {
        throw dbf::ETableWriteError(dbf::msg::WriteError);
    } catch (const dbf::ETableError& e) {
        EXPECT_STREQ(e.what(), "Error while writing occurred. (Disk full?)");
        return;
    }
    FAIL() << "ETableWriteError was not caught as ETableError";
}

TEST(TableError, FormatFillsThePlaceholders) {
    EXPECT_EQ(dbf::Format(dbf::msg::InvalidFieldCount, 4096),
              "Invalid field count: 4096 (must be between 1 and 4095).");
    EXPECT_EQ(dbf::Format(dbf::msg::InvalidFieldType, "PIC", 0x13),
              "Cannot create field \"PIC\", VCL field type 13 not supported by DBF.");
}

}  // namespace
