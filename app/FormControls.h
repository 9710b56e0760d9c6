// Factories for the controls of the trainer's windows, each placed at its
// designed position (pixels within the client area). They keep the windows'
// constructors to one line per control of the layout.
#pragma once

#include "app/ModalForm.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QRect>
#include <QString>

class QCheckBox;
class QFrame;
class QPushButton;

enum class TTextStyle { Normal, Red, RedBold };

// A label that sizes itself to its text: whenever its text or its font
// changes it grows or shrinks from its top-left corner to fit the text.
// setText hides QLabel's own, so the windows declare their changing labels
// as TLabel and every text set through them is measured.
class TLabel : public QLabel {
    Q_OBJECT

public:
    TLabel(const QString& caption, QWidget* parent);

    void setText(const QString& text);

protected:
    void changeEvent(QEvent* event) override;
};

// A label sized to its text, with its top-left corner at (left, top).
TLabel* MakeLabel(QWidget* parent, const QString& caption, int left, int top,
                  TTextStyle style = TTextStyle::Normal);
// A label of a fixed size.
QLabel* MakeLabel(QWidget* parent, const QString& caption, QRect geometry);

// A multi-line, read-only text box that wraps long lines. It keeps Enter and
// Escape to itself, so they reach the window's buttons only from elsewhere.
// Its vertical scroll bar is always there when the layout gives it one, and
// otherwise appears as soon as the text does not fit, so a long text never
// ends mid-sentence without a sign that there is more.
class TReadOnlyMemo : public QPlainTextEdit {
    Q_OBJECT

public:
    TReadOnlyMemo(QWidget* parent, QRect geometry, bool verticalScrollBar);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

QCheckBox* MakeCheckBox(QWidget* parent, const QString& caption, QRect geometry,
                        TTextStyle style = TTextStyle::Normal);

// A check box that only shows a state: it takes neither clicks nor focus
// and is drawn as an enabled one.
void MakeDisplayOnly(QCheckBox* box);

// The sunken frame of a window's button bar.
QFrame* MakeBevel(QWidget* parent, QRect geometry);

// Enter presses the button while it has the focus; with the focus on no
// button, Enter presses the window's default button. Every button of the
// trainer's windows is made this way.
void PressedByEnterWhenFocused(QPushButton* button);

// A button that closes its window with the given result. An OK-kind button
// is the window's default button (Enter when no other button has the focus);
// the cancel kind answers Escape through the window's reject().
QPushButton* MakeModalButton(TModalForm* form, const QString& caption, QRect geometry,
                             TModalResult result);

// A button with a decorative glyph that does not close its window.
QPushButton* MakeGlyphButton(QWidget* parent, const QString& caption, QRect geometry, bool okGlyph);
