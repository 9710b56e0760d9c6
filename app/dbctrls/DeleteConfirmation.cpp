#include "app/dbctrls/DeleteConfirmation.h"

#include "app/Dialogs.h"

#include <QWidget>

bool DeleteConfirmed(QWidget* parent) {
    return Dialogs().AskOkCancel(parent ? parent->window() : nullptr, QStringLiteral("Delete record?"),
                                 QStringLiteral("Confirm"));
}
