#include "app/dbctrls/BoundTextChange.h"

#include "app/dbctrls/DeferredError.h"

void AcceptTextChange(ds::TFieldDataLink& link, const QString& newText,
                      const std::function<void(const QString&)>& show) {
    if (!link.Editing()) {
        bool editing = false;
        RunOrRaiseLater([&] { editing = link.Edit(); });
        if (!editing) {
            link.Reset();
            return;
        }
        // Entering edit state re-read the record and showed the stored text.
        show(newText);
    }
    link.Modified();
}
