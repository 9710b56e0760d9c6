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

namespace {

qint64 OverlapArea(const QRect& a, const QRect& b) {
    const QRect overlap = a.intersected(b);
    return overlap.isEmpty() ? 0 : qint64(overlap.width()) * overlap.height();
}

// The left (or top) edge that puts an extent of length size inside the
// range [start, start + room); a range too short keeps it at start.
int Clamp(int edge, int size, int start, int room) { return std::max(start, std::min(edge, start + room - size)); }

}  // namespace

TPlacementRect BringIntoWorkArea(const TPlacementRect& rect, const QList<QRect>& workAreas,
                                 const QRect& fallbackWorkArea) {
    const QRect window = rect.ToQRect();
    QRect area = fallbackWorkArea;
    qint64 largestOverlap = 0;
    for (const QRect& candidate : workAreas)
        if (const qint64 overlap = OverlapArea(candidate, window); overlap > largestOverlap) {
            largestOverlap = overlap;
            area = candidate;
        }
    if (area.isEmpty()) return rect;
    const int left = Clamp(window.x(), window.width(), area.x(), area.width());
    const int top = Clamp(window.y(), window.height(), area.y(), area.height());
    return {left, top, left + window.width(), top + window.height()};
}
