// A window's placement record and the screen metrics a stored placement
// depends on, read from and applied to a Qt window.
//
// Contract: the record's normal rectangle is the window's frame geometry in
// its normal state, and its show state is the window's state (normal 1,
// minimised 2, maximised 3). Qt windows know neither placement flags nor
// minimised and maximised positions, so TWindowPlacementRecord keeps the ones
// last applied and reads them back: what a restore applies, a save finds.
// Applying a show state of 0 (hidden) leaves the window's state alone, and a
// rectangle is moved wholly into the work area of the screen it lies on most
// (the primary screen's when it meets none).
#pragma once

#include "app/placement/PlacementUtils.h"

#include <QSize>

class QWidget;

class TWindowPlacementRecord {
public:
    TWindowPlacement Read(const QWidget& window) const;
    void Apply(QWidget& window, const TWindowPlacement& placement);

private:
    int FFlags = 0;
    QPoint FMinPosition{-1, -1};
    QPoint FMaxPosition{-1, -1};
};

// Whether the window system shows the window already; false while a show is
// only under way.
bool IsShownToSystem(const QWidget& window);

// Whether the user can resize the window (its border is a sizeable one).
bool IsSizeable(const QWidget& window);

// Width and height of the frame of the window's border: its side and bottom
// edges, without the title bar; 0 and 0 for a window without a frame.
QSize BorderFrameSize(const QWidget& window);

// Logical pixels per inch and size of the primary screen.
int ScreenPixelsPerInch();
QSize ScreenSize();

void SetWindowState(QWidget& window, TWindowState state);

// Asks, through the event queue, for the window to be minimised.
void PostMinimize(QWidget& window);

// Moves the window to where its start position rule wants it; poDesigned and
// poDefault leave it where it is.
void PlaceOnShow(QWidget& window, TFormPosition position);
