// Write failures at every write of an append or a post, through a table on
// a stream that fails on demand: the operation raises ETableWriteError, the
// table and its header count stay as they were, and the dataset can retry.
#include "TableTestSupport.h"

#include "FailingStream.h"

#include "dbf/messages.h"

#include <climits>
#include <functional>

using dbf::TTable;
using Names = std::vector<std::string>;

namespace {

// Fails one write only, the nth from now, moving at most transfer bytes of
// it; the writes after it succeed again, like a device that recovers.
class OneFailingWriteStream : public FailingStream {
public:
    void FailOneWrite(int nthFromNow, size_t transfer) {
        FFailAt = Writes() + nthFromNow;
        FailWritesFrom(FFailAt, transfer);
    }
    // Whether the failing write came and moved fewer bytes than asked.
    bool Failed() const { return FFailed; }
    size_t WriteAt(int64_t offset, const void* buffer, size_t count) override {
        const size_t written = FailingStream::WriteAt(offset, buffer, count);
        if (Writes() != FFailAt) return written;
        FailWritesFrom(INT_MAX);
        FFailed = written < count;
        return written;
    }

private:
    int FFailAt = INT_MAX;
    bool FFailed = false;
};

// One change that reaches the file through a post.
struct PostedChange {
    const char* What;
    ds::TDataSetState PendingState;  // the state a failed post leaves, changes kept
    std::function<void(TTable&)> Begin;
    std::function<void(TTable&)> Post;
    Names NamesAfter;
    int ChangedRecNo;
};

const std::vector<PostedChange> kChanges = {
    {"Append", ds::dsInsert,
     [](TTable& t) {
         t.Append();
         t.FieldByName("NAME").SetAsString("neu");
         t.FieldByName("NOTE").SetAsString("neues Memo");
     },
     [](TTable& t) { t.Post(); }, Names{"eins", "zwei", "neu"}, 3},
    {"AppendRecord", ds::dsInsert, [](TTable&) {}, [](TTable& t) { t.AppendRecord({"neu", "neues Memo"}); },
     Names{"eins", "zwei", "neu"}, 3},
    {"Edit", ds::dsEdit,
     [](TTable& t) {
         t.First();
         t.Edit();
         t.FieldByName("NAME").SetAsString("geändert");
         t.FieldByName("NOTE").SetAsString("neues Memo");
     },
     [](TTable& t) { t.Post(); }, Names{"geändert", "zwei"}, 1},
};

// A memory table of NAME and NOTE with two records, on the failing stream.
struct FaultyTable {
    FaultyTable() {
        Table.SetName("Table1");
        Table.SetStorage(dbf::stoMemory);
        Table.SetUserStream(&Stream);
        Table.SetLanguageID(kLangAnsi1252);
        Table.FieldDefs().Add("NAME", ds::ftString, 10);
        Table.FieldDefs().Add("NOTE", ds::ftMemo, 0);
        Table.CreateTable();
        Table.Open();
        Table.AppendRecord({"eins", "erstes Memo"});
        Table.AppendRecord({"zwei", "zweites Memo"});
        // The header of a memory table reaches its stream on close.
        Table.Close();
        Table.Open();
    }

    Names StoredNames() {
        Names names;
        for (Table.First(); !Table.Eof(); Table.Next()) names.push_back(Table.FieldByName("NAME").AsString());
        return names;
    }

    dbf::platform::TLocaleOverride German{"de_DE.UTF-8"};
    OneFailingWriteStream Stream;
    TTable Table;
};

}  // namespace

class TableWriteFault : public ::testing::TestWithParam<size_t> {
protected:
    const PostedChange& Change() const { return kChanges[GetParam()]; }

    // The failed post left its changes pending: posting them again succeeds,
    // and after closing the table holds exactly the change, with the header
    // count equal to the records in the stream.
    void ExpectRetrySucceeds(FaultyTable& faulty) {
        const PostedChange& change = Change();
        faulty.Table.Post();
        EXPECT_EQ(faulty.Table.State(), ds::dsBrowse);
        faulty.Table.Close();
        const std::vector<uint8_t> bytes = faulty.Stream.Bytes();
        const size_t records = change.NamesAfter.size();
        EXPECT_EQ(HeaderU32(bytes, 4), records);
        EXPECT_EQ((bytes.size() - HeaderU16(bytes, 8)) / HeaderU16(bytes, 10), records);
        faulty.Table.Open();
        EXPECT_EQ(faulty.StoredNames(), change.NamesAfter);
        faulty.Table.SetPhysicalRecNo(change.ChangedRecNo);
        EXPECT_EQ(faulty.Table.FieldByName("NOTE").AsString(), "neues Memo");
    }
};

// Every write of the operation in turn fails once, wholly or after a few bytes.
TEST_P(TableWriteFault, OneFailedWriteLeavesTheTableAsItWas) {
    for (size_t transfer : {size_t{0}, size_t{3}}) {
        for (int nth = 1;; ++nth) {
            SCOPED_TRACE("write " + std::to_string(nth) + ", " + std::to_string(transfer) + " bytes moved");
            FaultyTable faulty;
            const std::vector<uint8_t> before = faulty.Stream.Bytes();
            Change().Begin(faulty.Table);
            faulty.Stream.FailOneWrite(nth, transfer);
            try {
                Change().Post(faulty.Table);
                EXPECT_FALSE(faulty.Stream.Failed()) << "a failed write passed for a success";
                break;  // the operation needs fewer writes than nth
            } catch (const dbf::ETableWriteError& e) {
                EXPECT_STREQ(e.what(), dbf::msg::WriteError);
            }
            EXPECT_EQ(faulty.Stream.Bytes(), before);
            EXPECT_EQ(faulty.Table.State(), Change().PendingState);
            EXPECT_EQ(faulty.Table.RecordCount(), 2);
            ExpectRetrySucceeds(faulty);
        }
    }
}

// From the failing write on nothing reaches the stream, the undo included;
// once the device works again, the retry still makes a sound table.
TEST_P(TableWriteFault, LastingFailureStillAllowsARetry) {
    for (int nth = 1;; ++nth) {
        SCOPED_TRACE("failing from write " + std::to_string(nth));
        FaultyTable faulty;
        Change().Begin(faulty.Table);
        const int failFrom = faulty.Stream.Writes() + nth;
        faulty.Stream.FailWritesFrom(failFrom);
        try {
            Change().Post(faulty.Table);
            EXPECT_LT(faulty.Stream.Writes(), failFrom) << "a failed write passed for a success";
            break;
        } catch (const dbf::ETableWriteError&) {
        }
        faulty.Stream.FailWritesFrom(INT_MAX);
        EXPECT_EQ(faulty.Table.State(), Change().PendingState);
        EXPECT_EQ(faulty.Table.RecordCount(), 2);
        ExpectRetrySucceeds(faulty);
    }
}

INSTANTIATE_TEST_SUITE_P(Changes, TableWriteFault, ::testing::Range(size_t{0}, kChanges.size()),
                         [](const auto& info) { return std::string(kChanges[info.param].What); });
