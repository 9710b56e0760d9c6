// Shared pieces of the data-aware control tests: a small question table in
// memory, a shown window to hold the controls, and the delivery of failures
// that controls raise from the event loop.
#pragma once

#include "MemoryDataSet.h"
#include "TestSupport.h"

#include "dataset/DataSource.h"

#include <QCoreApplication>
#include <QWidget>

#include <memory>
#include <string>

namespace dbctrlstest {

enum TQuestionColumn { colKapitel, colFragenr, colFrage, colAntwort1, colKorrekt };

// Questions numbered 1..count: KAPITEL "1", FRAGENR "<n>", FRAGE "Frage <n>"
// (a memo), ANTWORT1 null, ANT1KORREK true, false, null, true, false, null, ...
// DataSet may be a test's own subclass of the in-memory dataset.
template <typename DataSet = dstest::TMemoryDataSet>
std::unique_ptr<DataSet> OpenQuestions(int count) {
    auto dataSet = std::make_unique<DataSet>(std::vector<dstest::TColumn>{
        {"KAPITEL", ds::ftString, 10},
        {"FRAGENR", ds::ftString, 10},
        {"FRAGE", ds::ftMemo},
        {"ANTWORT1", ds::ftMemo},
        {"ANT1KORREK", ds::ftBoolean},
    });
    dataSet->SetName("Table1");
    for (int n = 1; n <= count; ++n) {
        // Every third flag is blank; the others alternate true and false.
        std::vector<ds::TVariant> row{"1", std::to_string(n), "Frage " + std::to_string(n), ds::TVariant(), ds::TVariant()};
        if (n % 3 != 0) row.back() = ds::TVariant(n % 3 == 1);
        dataSet->AddRow(row);
    }
    dataSet->Open();
    return dataSet;
}

inline std::string CurrentNumber(ds::TDataSet& dataSet) {
    return dataSet.FieldByName("FRAGENR").AsString();
}

// A shown, active top-level window, so that focus and keys behave as on screen.
[[nodiscard]] inline bool ShowActive(QWidget& window) {
    window.resize(600, 400);
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

// Lets the event loop deliver what the controls posted (failures among them).
inline void Settle() {
    QCoreApplication::processEvents();
    // What was posted while those events ran, e.g. by a queued editor commit.
    QCoreApplication::sendPostedEvents();
}

}  // namespace dbctrlstest
