#include "app/dbctrls/TextKeys.h"

#include <QKeyEvent>
#include <QKeySequence>

bool ChangesText(const QKeyEvent& event, bool multiLine) {
    for (const QKeySequence::StandardKey editing :
         {QKeySequence::Paste, QKeySequence::Cut, QKeySequence::Undo, QKeySequence::Redo, QKeySequence::Delete,
          QKeySequence::DeleteEndOfWord, QKeySequence::DeleteStartOfWord, QKeySequence::DeleteEndOfLine,
          QKeySequence::DeleteCompleteLine}) {
        if (event.matches(editing)) return true;
    }
    switch (event.key()) {
        case Qt::Key_Backspace:
        case Qt::Key_Delete: return true;
        case Qt::Key_Return:
        case Qt::Key_Enter: return multiLine;
        default: break;
    }
    if (event.modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) return false;
    const QString text = event.text();
    return !text.isEmpty() && text.at(0).isPrint();
}
