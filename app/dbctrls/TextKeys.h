// Which key presses change the text of a bound edit or memo box. A bound
// control must put its dataset into edit state before such a key reaches the
// text widget, and must refuse the key when the dataset cannot be edited;
// keys that only move the caret, select or copy pass without it.
#pragma once

class QKeyEvent;

// multiLine: Enter and Return break the line (a memo box) rather than being
// left to the window.
bool ChangesText(const QKeyEvent& event, bool multiLine);
