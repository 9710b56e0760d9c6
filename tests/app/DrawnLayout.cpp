#include "DrawnLayout.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QToolButton>

#include <algorithm>

namespace {

QString Describe(const QWidget* control) {
    const QString name = control->objectName().isEmpty() ? QString::fromLatin1(control->metaObject()->className())
                                                         : control->objectName();
    if (const auto* label = qobject_cast<const QLabel*>(control)) return name + QStringLiteral(" \"") + label->text() + '"';
    if (const auto* button = qobject_cast<const QAbstractButton*>(control))
        return name + QStringLiteral(" \"") + button->text() + '"';
    return name;
}

QString ShownText(QString text) { return text.remove(QLatin1Char('&')); }

QRect InWindow(const QWidget* control, const QWidget* window) {
    return QRect(control->mapTo(window, QPoint(0, 0)), control->size());
}

// The room the style leaves for the caption of a check box, radio button or
// push button, and the width its icon takes from it.
QRect TextRoom(const QAbstractButton* button, int& iconWidth) {
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    option.icon = button->icon();
    option.iconSize = button->iconSize();
    iconWidth = 0;
    QStyle::SubElement element = QStyle::SE_PushButtonContents;
    if (qobject_cast<const QCheckBox*>(button)) element = QStyle::SE_CheckBoxContents;
    if (qobject_cast<const QRadioButton*>(button)) element = QStyle::SE_RadioButtonContents;
    if (!button->icon().isNull()) iconWidth = button->iconSize().width() + 4;
    if (qobject_cast<const QToolButton*>(button)) return button->rect().adjusted(2, 2, -2, -2);
    return button->style()->subElementRect(element, &option, button);
}

// The size the text needs in the control's resolved font, as a label lays it out.
QSize TextSize(const QWidget* control, const QString& text) {
    const QFontMetrics metrics(control->font());
    return metrics.boundingRect(QRect(0, 0, 100000, 1000), Qt::AlignLeft | Qt::TextSingleLine, ShownText(text)).size();
}

void CheckTextFits(const QWidget* control, QStringList& faults) {
    QSize room;
    QSize needed;
    if (const auto* label = qobject_cast<const QLabel*>(control)) {
        if (label->text().isEmpty()) return;
        room = label->contentsRect().size();
        needed = TextSize(label, label->text());
    } else if (const auto* button = qobject_cast<const QAbstractButton*>(control)) {
        if (button->text().isEmpty()) return;
        int iconWidth = 0;
        room = TextRoom(button, iconWidth).size();
        needed = TextSize(button, button->text());
        needed.rwidth() += iconWidth;
    } else {
        return;
    }
    if (needed.width() > room.width() || needed.height() > room.height())
        faults << QStringLiteral("%1: text needs %2x%3, has %4x%5")
                      .arg(Describe(control))
                      .arg(needed.width()).arg(needed.height())
                      .arg(room.width()).arg(room.height());
}

// Where the control puts ink: a label its text, a check box or radio button
// its indicator and caption, any other control its whole rectangle. Designed
// layouts let the empty ends of such controls overlap.
QRect InkIn(const QWidget* control, const QWidget* window) {
    QRect rect = InWindow(control, window);
    if (const auto* label = qobject_cast<const QLabel*>(control))
        rect.setSize(TextSize(label, label->text()).boundedTo(rect.size()));
    else if (qobject_cast<const QCheckBox*>(control) || qobject_cast<const QRadioButton*>(control))
        rect.setWidth(std::min(rect.width(), control->sizeHint().width()));
    return rect;
}

bool IsControl(const QWidget* widget) {
    return qobject_cast<const QLabel*>(widget) || qobject_cast<const QAbstractButton*>(widget) ||
           qobject_cast<const QAbstractScrollArea*>(widget) || qobject_cast<const QLineEdit*>(widget) ||
           qobject_cast<const QComboBox*>(widget);
}

// Parts of a composite control (a text box's viewport, a grid's header)
// are the control's own business.
bool IsInsideAnotherControl(const QWidget* widget, const QWidget* window) {
    for (const QWidget* up = widget->parentWidget(); up != nullptr && up != window; up = up->parentWidget())
        if (IsControl(up)) return true;
    return false;
}

QList<const QWidget*> VisibleControls(const QWidget* window) {
    QList<const QWidget*> controls;
    for (const QWidget* widget : window->findChildren<QWidget*>())
        if (widget->isVisibleTo(window) && IsControl(widget) && !IsInsideAnotherControl(widget, window))
            controls << widget;
    return controls;
}

}  // namespace

QStringList DrawnLayoutFaults(const QWidget* window, const QList<const QWidget*>& cutOffByDesign) {
    QStringList faults;
    const QList<const QWidget*> controls = VisibleControls(window);
    for (const QWidget* control : controls) {
        CheckTextFits(control, faults);
        const QRect rect = InWindow(control, window);
        if (!window->rect().contains(rect) && !cutOffByDesign.contains(control))
            faults << QStringLiteral("%1: lies outside the client area").arg(Describe(control));
        if (!qobject_cast<const QLabel*>(control)) continue;
        const QRect ink = InkIn(control, window);
        for (const QWidget* other : controls)
            if (other != control && ink.intersects(InkIn(other, window)))
                faults << QStringLiteral("%1: runs into %2").arg(Describe(control), Describe(other));
    }
    return faults;
}
