#include "app/placement/PlacementUtils.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

TPlacementRect TPlacementRect::FromQRect(const QRect& rect) {
    return {rect.x(), rect.y(), rect.x() + rect.width(), rect.y() + rect.height()};
}

QRect TPlacementRect::ToQRect() const { return QRect(Left, Top, Right - Left, Bottom - Top); }

int StrToIntDef(const QString& text, int defaultValue) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    return ok ? value : defaultValue;
}

QString ScreenSuffix(QSize screenSize) {
    return QStringLiteral("(%1x%2)").arg(screenSize.width()).arg(screenSize.height());
}

QString FormatPositions(const TPositionWords& words) {
    return QStringLiteral("%1,%2,%3,%4").arg(words[0]).arg(words[1]).arg(words[2]).arg(words[3]);
}

TPositionWords ParsePositions(const QString& text, const TPositionWords& defaults) {
    static const QRegularExpression separators(QStringLiteral("[ ,]"));
    const QStringList words = text.split(separators, Qt::SkipEmptyParts);
    TPositionWords result = defaults;
    for (qsizetype i = 0; i < std::min<qsizetype>(words.size(), result.size()); ++i)
        result[i] = StrToIntDef(words[i], defaults[i]);
    return result;
}

TPositionWords MinMaxWords(const TWindowPlacement& placement) {
    return {placement.MinPosition.x(), placement.MinPosition.y(), placement.MaxPosition.x(),
            placement.MaxPosition.y()};
}

TPositionWords NormalWords(const TPlacementRect& rect) { return {rect.Left, rect.Top, rect.Right, rect.Bottom}; }

TPlacementRect RectFromWords(const TPositionWords& words) { return {words[0], words[1], words[2], words[3]}; }

TWindowState StateFromShowCmd(int showCmd, TWindowState fallback) {
    switch (showCmd) {
        case 1: case 5: case 9: return wsNormal;
        case 2: case 6: case 7: return wsMinimized;
        case 3: return wsMaximized;
        default: return fallback;
    }
}

TWindowState InitialWindowState(bool isMainWindow, TFormPosition position) {
    return isMainWindow && position == poDefault ? wsMaximized : wsNormal;
}

bool StoredPositionApplies(int storedPixelsPerInch, int screenPixelsPerInch) {
    return storedPixelsPerInch == screenPixelsPerInch;
}

TPlacementRect KeepWindowSize(const TPlacementRect& stored, QSize windowSize) {
    return {stored.Left, stored.Top, stored.Left + windowSize.width(), stored.Top + windowSize.height()};
}

TPlacementRect BringOntoScreen(const TPlacementRect& rect, const QList<QRect>& screens,
                               const QRect& workArea) {
    const QRect window = rect.ToQRect();
    const bool reachable =
        std::any_of(screens.begin(), screens.end(), [&](const QRect& screen) { return screen.intersects(window); });
    if (reachable || workArea.isEmpty()) return rect;
    // Too big a window keeps its top-left corner in the work area.
    const int lastLeft = workArea.x() + workArea.width() - window.width();
    const int lastTop = workArea.y() + workArea.height() - window.height();
    const int left = std::max(workArea.x(), std::min(window.x(), lastLeft));
    const int top = std::max(workArea.y(), std::min(window.y(), lastTop));
    return {left, top, left + window.width(), top + window.height()};
}
