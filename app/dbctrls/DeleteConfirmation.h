// The question the navigator and the grid ask before they delete the current
// record: "Delete record?", through the program's message boxes (Dialogs()).
#pragma once

class QWidget;

// True when the user agreed to delete the record.
bool DeleteConfirmed(QWidget* parent);
