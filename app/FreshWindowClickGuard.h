// TFreshWindowClickGuard: the buttons of a window ignore the mouse for the
// system's double-click interval after the window was shown. A double click
// on a button that closes one quiz window would otherwise press, with its
// second click, the button that the next window shows in the same place
// ("Beantworten", "NächsteFrage") and answer a question nobody has read.
// The keyboard is not affected.
#pragma once

#include <QElapsedTimer>
#include <QObject>

class QWidget;

class TFreshWindowClickGuard : public QObject {
public:
    // Guards the push buttons of window; the guard is a child of the window.
    explicit TFreshWindowClickGuard(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void WindowShown();
    bool Fresh() const;

    QWidget* FWindow;
    QElapsedTimer FSinceShown;
};
