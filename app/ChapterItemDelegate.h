// TChapterItemDelegate: draws the entries of the chapter box's open list the
// way the closed box draws its current entry. An entry is "Tb <n> ", a tab
// and the title; the list's own delegate would treat the tab as a menu's
// shortcut column and push the title to the far right, where it is cut.
// Here the text is drawn by the style's plain item text, as the closed box
// does, so the tab expands to the same place.
#pragma once

#include <QStyledItemDelegate>

class TChapterItemDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
