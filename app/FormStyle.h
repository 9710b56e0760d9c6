// The look every window of the trainer shares: a fixed dialog border (title
// bar with a close button, no resizing, no minimise or maximise box), the
// designed client size, and centring on the screen when shown.
#pragma once

#include <QString>

class QDialog;
class QWidget;

// Gives the window its caption, the fixed border and the client size in pixels.
// taskBarWindow: the window is the application's main window with its own
// task-bar entry rather than a dialog of another window.
void ApplyFixedDialogStyle(QDialog* window, const QString& caption, int clientWidth,
                           int clientHeight, bool taskBarWindow = false);

// Moves the window so that it stands in the middle of its screen's work area.
void CenterOnScreen(QWidget* window);
