// What a user sees of a window's controls, checked against the fonts Qt
// actually resolved: every visible label, check box, radio button and button
// must show its whole text (measured with its font's metrics against the
// room the style leaves for text), every visible control must lie inside the
// client area, and no label may run into another control.
#pragma once

#include <QList>
#include <QStringList>

class QWidget;

// One line per fault, naming the control; empty when everything is readable.
// cutOffByDesign: controls the layout lets reach beyond the client area.
QStringList DrawnLayoutFaults(const QWidget* window, const QList<const QWidget*>& cutOffByDesign = {});
