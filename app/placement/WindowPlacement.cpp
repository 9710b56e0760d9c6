#include "app/placement/WindowPlacement.h"

#include "app/FormStyle.h"

#include <QGuiApplication>
#include <QMetaObject>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace {

constexpr int kDefaultPixelsPerInch = 96;

QMargins FrameMargins(const QWidget& window) {
    const QRect frame = window.frameGeometry();
    const QRect client = window.geometry();
    return {client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
            frame.bottom() - client.bottom()};
}

bool IsMinimizedOrMaximized(const QWidget& window) {
    return window.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen);
}

// The frame the window has in its normal state, also while it is minimised or maximised.
QRect NormalFrame(const QWidget& window) {
    if (!IsMinimizedOrMaximized(window)) return window.frameGeometry();
    return window.normalGeometry().marginsAdded(FrameMargins(window));
}

int ShowCmdOf(const QWidget& window) {
    if (window.isMinimized()) return swShowMinimized;
    if (window.isMaximized()) return swShowMaximized;
    return swShowNormal;
}

QList<QRect> WorkAreas() {
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens()) areas << screen->availableGeometry();
    return areas;
}

QRect PrimaryWorkArea() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->availableGeometry() : QRect();
}

void MoveNormalFrame(QWidget& window, const TPlacementRect& wanted) {
    const QRect target = BringIntoWorkArea(wanted, WorkAreas(), PrimaryWorkArea()).ToQRect();
    const QRect current = NormalFrame(window);
    if (target.topLeft() != current.topLeft()) window.move(target.topLeft());
    if (IsSizeable(window) && target.size() != current.size())
        window.resize(target.size().shrunkBy(FrameMargins(window)));
}

}  // namespace

TWindowPlacement TWindowPlacementRecord::Read(const QWidget& window) const {
    TWindowPlacement placement;
    placement.Flags = FFlags;
    placement.ShowCmd = ShowCmdOf(window);
    placement.MinPosition = FMinPosition;
    placement.MaxPosition = FMaxPosition;
    placement.NormalPosition = TPlacementRect::FromQRect(NormalFrame(window));
    return placement;
}

void TWindowPlacementRecord::Apply(QWidget& window, const TWindowPlacement& placement) {
    FFlags = placement.Flags;
    FMinPosition = placement.MinPosition;
    FMaxPosition = placement.MaxPosition;
    MoveNormalFrame(window, placement.NormalPosition);
    if (placement.ShowCmd != swHide) SetWindowState(window, StateFromShowCmd(placement.ShowCmd, wsNormal));
}

bool IsShownToSystem(const QWidget& window) {
    const QWindow* handle = window.windowHandle();
    return handle != nullptr && handle->isVisible();
}

bool IsSizeable(const QWidget& window) { return window.minimumSize() != window.maximumSize(); }

QSize BorderFrameSize(const QWidget& window) {
    if (window.windowFlags() & Qt::FramelessWindowHint) return {0, 0};
    const QMargins frame = FrameMargins(window);
    return {frame.left(), frame.bottom()};
}

int ScreenPixelsPerInch() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? qRound(screen->logicalDotsPerInch()) : kDefaultPixelsPerInch;
}

QSize ScreenSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->size() : QSize();
}

void SetWindowState(QWidget& window, TWindowState state) {
    Qt::WindowStates states = window.windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
    if (state == wsMinimized) states |= Qt::WindowMinimized;
    if (state == wsMaximized) states |= Qt::WindowMaximized;
    if (states != window.windowState()) window.setWindowState(states);
}

void PostMinimize(QWidget& window) {
    QWidget* target = &window;  // the queued call is dropped if the window goes first
    QMetaObject::invokeMethod(target, [target] { SetWindowState(*target, wsMinimized); }, Qt::QueuedConnection);
}

void PlaceOnShow(QWidget& window, TFormPosition position) {
    if (position == poScreenCenter) CenterOnScreen(&window);
}
