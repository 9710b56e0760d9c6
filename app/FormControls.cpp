#include "app/FormControls.h"

#include <QCheckBox>
#include <QFrame>
#include <QKeyEvent>
#include <QPushButton>
#include <QStyle>

namespace {

void ApplyTextStyle(QWidget* control, TTextStyle style) {
    if (style == TTextStyle::Normal) return;
    QPalette palette = control->palette();
    palette.setColor(QPalette::WindowText, Qt::red);
    palette.setColor(QPalette::ButtonText, Qt::red);
    palette.setColor(QPalette::Text, Qt::red);
    control->setPalette(palette);
    if (style == TTextStyle::RedBold) {
        QFont font = control->font();
        font.setBold(true);
        control->setFont(font);
    }
}

QIcon Glyph(QWidget* parent, TModalResult result) {
    switch (result) {
        case mrOk: return parent->style()->standardIcon(QStyle::SP_DialogOkButton);
        case mrCancel: return parent->style()->standardIcon(QStyle::SP_DialogCancelButton);
        case mrRetry: return parent->style()->standardIcon(QStyle::SP_BrowserReload);
        case mrNone: break;
    }
    return {};
}

bool HasDefaultButton(const QWidget* form) {
    for (const QPushButton* button : form->findChildren<QPushButton*>())
        if (button->isDefault()) return true;
    return false;
}

}  // namespace

TLabel::TLabel(const QString& caption, QWidget* parent) : QLabel(caption, parent) { adjustSize(); }

void TLabel::setText(const QString& text) {
    QLabel::setText(text);
    adjustSize();
}

void TLabel::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) adjustSize();
}

TLabel* MakeLabel(QWidget* parent, const QString& caption, int left, int top, TTextStyle style) {
    auto* label = new TLabel(caption, parent);
    ApplyTextStyle(label, style);
    label->move(left, top);
    return label;
}

QLabel* MakeLabel(QWidget* parent, const QString& caption, QRect geometry) {
    auto* label = new QLabel(caption, parent);
    label->setGeometry(geometry);
    return label;
}

TReadOnlyMemo::TReadOnlyMemo(QWidget* parent, QRect geometry, bool verticalScrollBar)
    : QPlainTextEdit(parent) {
    setGeometry(geometry);
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setVerticalScrollBarPolicy(verticalScrollBar ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(true);
}

void TReadOnlyMemo::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            event->accept();
            return;
        default:
            QPlainTextEdit::keyPressEvent(event);
    }
}

QCheckBox* MakeCheckBox(QWidget* parent, const QString& caption, QRect geometry, TTextStyle style) {
    auto* box = new QCheckBox(caption, parent);
    ApplyTextStyle(box, style);
    box->setGeometry(geometry);
    return box;
}

void MakeDisplayOnly(QCheckBox* box) {
    box->setAttribute(Qt::WA_TransparentForMouseEvents);
    box->setFocusPolicy(Qt::NoFocus);
}

QFrame* MakeBevel(QWidget* parent, QRect geometry) {
    auto* bevel = new QFrame(parent);
    bevel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    bevel->setGeometry(geometry);
    bevel->lower();
    return bevel;
}

QPushButton* MakeModalButton(TModalForm* form, const QString& caption, QRect geometry, TModalResult result) {
    auto* button = new QPushButton(Glyph(form, result), caption, form);
    button->setGeometry(geometry);
    PressedByEnterWhenFocused(button);
    // Qt keeps one default button per window; a second OK-kind button (one
    // that covers the first in another mode) closes with the same result.
    if (result == mrOk && !HasDefaultButton(form)) button->setDefault(true);
    QObject::connect(button, &QPushButton::clicked, form, [form, result] { form->done(result); });
    return button;
}

QPushButton* MakeGlyphButton(QWidget* parent, const QString& caption, QRect geometry, bool okGlyph) {
    const auto glyph = okGlyph ? QStyle::SP_DialogOkButton : QStyle::SP_BrowserReload;
    auto* button = new QPushButton(parent->style()->standardIcon(glyph), caption, parent);
    button->setGeometry(geometry);
    PressedByEnterWhenFocused(button);
    return button;
}

void PressedByEnterWhenFocused(QPushButton* button) {
    // Qt's auto-default button: while it has the focus it stands in for the
    // window's default button, and the default returns when the focus leaves.
    button->setAutoDefault(true);
}
