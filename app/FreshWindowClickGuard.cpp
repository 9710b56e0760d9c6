#include "app/FreshWindowClickGuard.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPushButton>
#include <QStyleHints>
#include <QWidget>

TFreshWindowClickGuard::TFreshWindowClickGuard(QWidget* window) : QObject(window), FWindow(window) {
    window->installEventFilter(this);
}

void TFreshWindowClickGuard::WindowShown() {
    FSinceShown.start();
    // Installing again only moves the filter to the front, so every showing may do it.
    for (QPushButton* button : FWindow->findChildren<QPushButton*>()) button->installEventFilter(this);
}

bool TFreshWindowClickGuard::Fresh() const {
    return FSinceShown.isValid() && FSinceShown.elapsed() < QGuiApplication::styleHints()->mouseDoubleClickInterval();
}

bool TFreshWindowClickGuard::eventFilter(QObject* watched, QEvent* event) {
    if (watched == FWindow) {
        if (event->type() == QEvent::Show) WindowShown();
        return false;
    }
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseButtonRelease:
            return Fresh();
        default:
            return false;
    }
}
