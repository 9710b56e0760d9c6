#include "app/dbctrls/BoundText.h"

#include "app/dbctrls/DeferredError.h"
#include "app/dbctrls/TextKeys.h"

#include <QKeyEvent>

TBoundText::TBoundText(TControl control) : FControl(std::move(control)) {
    FLink.OnDataChange = [this] { FControl.ShowFieldText(); };
    FLink.OnActiveChange = [this] { FControl.ShowFieldText(); };
    FLink.OnUpdateData = [this] { FControl.WriteField(); };
}

bool TBoundText::KeyConsumed(const QKeyEvent& event) {
    if (event.key() == Qt::Key_Escape && FLink.IsModified()) {
        FLink.Reset();
        if (FControl.AfterEscape) FControl.AfterEscape();
        return true;
    }
    return ChangesText(event, FControl.MultiLine) && !FLink.Edit();
}

void TBoundText::TextChanged(const QString& newText) {
    if (!FLink.Editing()) {
        bool editing = false;
        RunOrRaiseLater([&] { editing = FLink.Edit(); });
        if (!editing) {
            FLink.Reset();
            return;
        }
        // Entering edit state re-read the record and showed the stored text.
        FControl.ShowTyped(newText);
    }
    FLink.Modified();
}

void TBoundText::FocusLeft() {
    if (FLink.IsModified()) FLink.UpdateRecord();
}
