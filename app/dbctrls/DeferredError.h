// Raising a failure later, from the event loop.
//
// Some of a control's code runs inside Qt's own algorithms: slots of signals,
// item-model and item-view hooks, button state hooks. An exception must not
// unwind through those frames (Qt leaves its bookkeeping half done). Such code
// runs through RunOrRaiseLater: a failure is posted as an event and raised
// again when the event loop delivers it, straight under the application's
// central handler, which shows its message. Nothing is swallowed.
// Code called from a control's own event handlers raises directly instead.
#pragma once

#include <exception>
#include <utility>

// Posts the failure; it is raised when the event loop next delivers events.
void RaiseLater(std::exception_ptr error);

// Runs the action; answers false when it failed (the failure is posted).
template <typename Action>
bool RunOrRaiseLater(Action&& action) {
    try {
        std::forward<Action>(action)();
        return true;
    } catch (...) {
        RaiseLater(std::current_exception());
        return false;
    }
}
