#include "app/FormStyle.h"

#include <QDialog>
#include <QGuiApplication>
#include <QScreen>

void ApplyFixedDialogStyle(QDialog* window, const QString& caption, int clientWidth,
                           int clientHeight, bool taskBarWindow) {
    Qt::WindowFlags flags = (taskBarWindow ? Qt::Window : Qt::Dialog) | Qt::CustomizeWindowHint |
                            Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                            Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;
    window->setWindowFlags(flags);
    window->setWindowTitle(caption);
    window->setFixedSize(clientWidth, clientHeight);
    window->setSizeGripEnabled(false);
}

void CenterOnScreen(QWidget* window) {
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const QRect area = screen->availableGeometry();
    const QRect frame = window->frameGeometry();
    window->move(area.x() + (area.width() - frame.width()) / 2,
                 area.y() + (area.height() - frame.height()) / 2);
}
