// Processes appending records with memos to one table at the same time, one
// record at a time or in append batches: every record arrives once, under its
// own number, with its own memo, and a reader never sees a count ahead of
// the records written.
#include "TableTestSupport.h"
#include "MultiProcessTestSupport.h"

#include <map>

namespace {

constexpr int kRecordsPerWriter = 2000;
const std::vector<std::string> kWriters = {"A", "B"};

}  // namespace

class MultiProcessAppend : public TableTableTest {
protected:
    void SetUp() override {
        CreateAndOpen({Def(kWorkerNameField, ds::ftString, kWorkerNameWidth), Def(kWorkerMemoField, ds::ftMemo, 0)});
        Table.Close();
    }

    // Every record of every writer is there once, with its memo, each
    // writer's records in the order it appended them.
    void ExpectEveryRecordOnce(const std::vector<std::string>& writers, int recordsPerWriter) {
        const size_t total = writers.size() * recordsPerWriter;
        const std::vector<uint8_t> bytes = TableBytes();
        const size_t headerSize = HeaderU16(bytes, 8);
        const size_t recordSize = HeaderU16(bytes, 10);
        EXPECT_EQ(HeaderU32(bytes, 4), total);
        // Whole records only; an end-of-file byte may follow the last one.
        EXPECT_EQ((bytes.size() - headerSize) / recordSize, total);
        EXPECT_LE(bytes.size() - headerSize - total * recordSize, 1u);

        std::map<std::string, std::vector<int>> recNosOf;
        Table.Open();
        EXPECT_EQ(Table.RecordCount(), static_cast<int>(total));
        for (Table.First(); !Table.Eof(); Table.Next()) {
            const std::string name = Table.FieldByName(kWorkerNameField).AsString();
            const std::string tag = name.substr(0, 1);
            const int seq = std::stoi(name.substr(1));
            ASSERT_EQ(RecordBytes(bytes, Table.PhysicalRecNo())[0], ' ') << name;
            EXPECT_EQ(Table.FieldByName(kWorkerMemoField).AsString(), WorkerMemoText(tag, seq)) << name;
            auto& recNos = recNosOf[tag];
            EXPECT_EQ(seq, static_cast<int>(recNos.size()) + 1) << "out of order or twice: " << name;
            recNos.push_back(Table.PhysicalRecNo());
        }
        ASSERT_EQ(recNosOf.size(), writers.size());
        for (const auto& [tag, recNos] : recNosOf) {
            EXPECT_EQ(recNos.size(), static_cast<size_t>(recordsPerWriter)) << tag;
            for (size_t i = 1; i < recNos.size(); ++i) ASSERT_LT(recNos[i - 1], recNos[i]) << tag;
        }
    }
};

TEST_F(MultiProcessAppend, TwoWritersAtOnceLoseNothing) {
    std::vector<std::unique_ptr<TTableWorkerProcess>> workers;
    for (size_t i = 0; i < kWriters.size(); ++i) {
        workers.push_back(std::make_unique<TTableWorkerProcess>());
        ASSERT_EQ(workers.back()->Ask("open " + TablePath()), "ok");
    }
    // Both start before either is asked for its answer, so their appends overlap.
    for (size_t i = 0; i < kWriters.size(); ++i)
        workers[i]->SendLine("append " + kWriters[i] + " " + std::to_string(kRecordsPerWriter));
    for (auto& worker : workers) EXPECT_EQ(worker->ReadLine(), "ok");
    workers.clear();
    ExpectEveryRecordOnce(kWriters, kRecordsPerWriter);
}

// Writers in append batches, alone or beside one appending record by record:
// nothing is lost. While batch writers append, a reader looks at the raw file
// over and over: neither the header count nor the file size ever covers a
// record that is not written yet.
struct BatchWritersCase {
    const char* Name;
    std::vector<std::string> Commands;  // one worker per command, writer tags A, B, ...
    // A single append counts its record just before it writes it, so only
    // batch writers alone promise a reader that no count runs ahead.
    bool Watched;
};

class MultiProcessBatchAppend : public MultiProcessAppend, public ::testing::WithParamInterface<BatchWritersCase> {};

TEST_P(MultiProcessBatchAppend, NothingIsLostAndNoCountRunsAheadOfTheRecords) {
    constexpr int kBatchRecords = 3500;  // more than three holds of 1,000 each
    const std::vector<std::string>& commands = GetParam().Commands;
    std::vector<std::string> tags;
    std::vector<std::unique_ptr<TTableWorkerProcess>> writers;
    for (size_t i = 0; i < commands.size(); ++i) {
        tags.push_back(std::string(1, static_cast<char>('A' + i)));
        writers.push_back(std::make_unique<TTableWorkerProcess>());
        ASSERT_EQ(writers.back()->Ask("open " + TablePath()), "ok");
    }
    TTableWorkerProcess reader;
    if (GetParam().Watched)
        reader.SendLine("watch " + TablePath() + " " + std::to_string(commands.size() * kBatchRecords));
    for (size_t i = 0; i < commands.size(); ++i)
        writers[i]->SendLine(commands[i] + " " + tags[i] + " " + std::to_string(kBatchRecords));
    for (auto& writer : writers) EXPECT_EQ(writer->ReadLine(), "ok");
    if (GetParam().Watched) {
        const std::string seen = reader.ReadLine();
        EXPECT_EQ(seen.substr(0, 3), "ok ") << seen;
    }
    writers.clear();
    ExpectEveryRecordOnce(tags, kBatchRecords);
}

INSTANTIATE_TEST_SUITE_P(Writers, MultiProcessBatchAppend,
                         ::testing::Values(BatchWritersCase{"OneBatchWriter", {"bulkappend"}, true},
                                           BatchWritersCase{"TwoBatchWriters", {"bulkappend", "bulkappend"}, true},
                                           BatchWritersCase{"BatchBesideSingleAppends", {"bulkappend", "append"}, false}),
                         [](const auto& info) { return std::string(info.param.Name); });

// Every open of a shared table rewrites its header; one that happens in the
// middle of an append must neither undo the append's count nor put the
// end-of-file byte onto the record being written.
TEST_F(MultiProcessAppend, OpeningWhileAnotherProcessAppendsKeepsTheCount) {
    TTableWorkerProcess writer, opener;
    ASSERT_EQ(writer.Ask("open " + TablePath()), "ok");
    ASSERT_EQ(opener.Ask("open " + TablePath()), "ok");
    writer.SendLine("append A " + std::to_string(kRecordsPerWriter));
    opener.SendLine("reopen 300");
    EXPECT_EQ(writer.ReadLine(), "ok");
    EXPECT_EQ(opener.ReadLine(), "ok");
    EXPECT_EQ(opener.Ask("close"), "ok");
    EXPECT_EQ(writer.Ask("close"), "ok");

    const std::vector<uint8_t> bytes = TableBytes();
    EXPECT_EQ(HeaderU32(bytes, 4), static_cast<uint32_t>(kRecordsPerWriter));
    Table.Open();
    int seq = 0;
    for (Table.First(); !Table.Eof(); Table.Next()) {
        ++seq;
        ASSERT_EQ(RecordBytes(bytes, seq)[0], ' ') << seq;
        ASSERT_EQ(Table.FieldByName(kWorkerNameField).AsString(), WorkerRecordName("A", seq));
    }
    EXPECT_EQ(seq, kRecordsPerWriter);
}

TEST_F(MultiProcessAppend, OpeningWhileTwoProcessesAppendKeepsTheCount) {
    TTableWorkerProcess first, second, opener;
    for (TTableWorkerProcess* worker : {&first, &second, &opener}) ASSERT_EQ(worker->Ask("open " + TablePath()), "ok");
    first.SendLine("append A 1000");
    second.SendLine("append B 1000");
    opener.SendLine("reopen 400");
    for (TTableWorkerProcess* worker : {&first, &second, &opener}) EXPECT_EQ(worker->ReadLine(), "ok");
    for (TTableWorkerProcess* worker : {&first, &second, &opener}) EXPECT_EQ(worker->Ask("close"), "ok");
    const std::vector<uint8_t> bytes = TableBytes();
    EXPECT_EQ(HeaderU32(bytes, 4), 2000u);
    EXPECT_EQ((bytes.size() - HeaderU16(bytes, 8)) / HeaderU16(bytes, 10), 2000u);
}

// An append that has to go behind a number another appender still holds
// counts that number's slot too: the header then agrees with the file size,
// as an open that takes the count from the file size would set it, and the
// other appender's own count cannot add the slot a second time.
TEST_F(MultiProcessAppend, AppendBehindANumberStillBeingAppendedCountsItsSlot) {
    Table.Open();
    Table.AppendRecord({"eins", "m1"});
    Table.AppendRecord({"zwei", "m2"});
    auto otherAppender = OpenOn(TablePath(), dbf::pfReadWriteOpen);
    ASSERT_TRUE(otherAppender->LockPage(3, false));
    Table.AppendRecord({"vier", "m4"});
    EXPECT_EQ(Table.PhysicalRecNo(), 4);
    const std::vector<uint8_t> bytes = TableBytes();
    EXPECT_EQ(HeaderU32(bytes, 4), 4u);
    EXPECT_EQ((bytes.size() - HeaderU16(bytes, 8)) / HeaderU16(bytes, 10), 4u);
}
