#include "app/ChapterItemDelegate.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

namespace {

// The closed box leaves one pixel at each side of its text.
constexpr int TextInset = 1;

}  // namespace

void TChapterItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QString text = item.text;
    item.text.clear();  // the background and the selection only
    const QWidget* widget = item.widget;
    QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);

    const QRect textRect =
        style->subElementRect(QStyle::SE_ItemViewItemText, &item, widget).adjusted(TextInset, 0, -TextInset, 0);
    const bool selected = item.state & QStyle::State_Selected;
    painter->save();
    painter->setFont(item.font);
    style->drawItemText(painter, textRect, Qt::AlignLeft | Qt::AlignVCenter, item.palette,
                        item.state & QStyle::State_Enabled, text,
                        selected ? QPalette::HighlightedText : QPalette::Text);
    painter->restore();
}
