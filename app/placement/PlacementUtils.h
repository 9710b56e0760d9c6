// The texts and rules of a stored window placement, free of any window: the
// value names of a window section, the "%d,%d,%d,%d" position texts and the
// screen suffix "(%dx%d)", the show-state numbers and the window states they
// stand for, and the geometric rules a restore applies to a stored rectangle.
//
// Contract: every function is pure. Texts are parsed leniently, the way a
// hand-edited or damaged settings file needs: a word that is no decimal
// integer yields the caller's default, never an exception.
#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <array>

// Names of the values in a window section, in the order a save writes them.
namespace placement_names {
inline const QString FormVersion = QStringLiteral("FormVersion");
inline const QString Flags = QStringLiteral("Flags");
inline const QString ShowCmd = QStringLiteral("ShowCmd");
inline const QString PixelsPerInch = QStringLiteral("PixelsPerInch");
inline const QString MinMaxPos = QStringLiteral("MinMaxPos");
inline const QString NormPos = QStringLiteral("NormPos");
inline const QString Visible = QStringLiteral("Visible");
}  // namespace placement_names

// Show states of a placement record.
inline constexpr int swHide = 0;
inline constexpr int swShowNormal = 1;
inline constexpr int swShowMinimized = 2;
inline constexpr int swShowMaximized = 3;

enum TWindowState { wsNormal, wsMinimized, wsMaximized };

// Where a window stands when it is shown without a stored position.
enum TFormPosition {
    poDesigned,      // where its layout put it
    poDefault,       // wherever the window system puts it
    poScreenCenter,  // centred on the screen
};

// A window's rectangle by its edges, in screen pixels; Right and Bottom lie
// just outside the window, so Right - Left is its width.
struct TPlacementRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    static TPlacementRect FromQRect(const QRect& rect);
    QRect ToQRect() const;
    bool operator==(const TPlacementRect&) const = default;
};

// A window's placement record: flags, show state, the positions it takes
// when minimised and maximised, and its rectangle in the normal state.
struct TWindowPlacement {
    int Flags = 0;
    int ShowCmd = swShowNormal;
    QPoint MinPosition{-1, -1};
    QPoint MaxPosition{-1, -1};
    TPlacementRect NormalPosition;
};

using TPositionWords = std::array<int, 4>;

// The decimal integer of text (blanks around it allowed), else defaultValue.
int StrToIntDef(const QString& text, int defaultValue);

// "(<width>x<height>)", the suffix of the position values of one screen size.
QString ScreenSuffix(QSize screenSize);

// "%d,%d,%d,%d".
QString FormatPositions(const TPositionWords& words);

// The first four words of text (separated by blanks or commas); a missing or
// non-numeric word takes the default at its place.
TPositionWords ParsePositions(const QString& text, const TPositionWords& defaults);

TPositionWords MinMaxWords(const TWindowPlacement& placement);
TPositionWords NormalWords(const TPlacementRect& rect);
TPlacementRect RectFromWords(const TPositionWords& words);

// The state a stored show state asks for: 1, 5, 9 normal; 2, 6, 7 minimised;
// 3 maximised; anything else keeps fallback.
TWindowState StateFromShowCmd(int showCmd, TWindowState fallback);

// The state a restore starts from before the stored show state is read: a
// main window left to the window system's placement starts maximised.
TWindowState InitialWindowState(bool isMainWindow, TFormPosition position);

// A stored position applies only at the pixels per inch it was saved at.
bool StoredPositionApplies(int storedPixelsPerInch, int screenPixelsPerInch);

// A window that cannot be resized keeps the stored corner and its own size.
TPlacementRect KeepWindowSize(const TPlacementRect& stored, QSize windowSize);

// A restored window must lie wholly on a screen, even when the position was
// saved on a larger one: the rectangle is moved (keeping its size) into the
// work area it overlaps most, or into fallbackWorkArea when it overlaps
// none. One larger than the work area keeps its top-left corner in it.
TPlacementRect BringIntoWorkArea(const TPlacementRect& rect, const QList<QRect>& workAreas,
                                 const QRect& fallbackWorkArea);
