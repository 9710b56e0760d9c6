// What a bound edit or memo box does when its text changed by a way other
// than a key press (the context menu's paste, a drop): the dataset must be in
// edit state for the change to count. A failure to get there is raised from
// the event loop (DeferredError.h), since Qt's own code is running.
#pragma once

#include "dataset/FieldDataLink.h"

#include <QString>

#include <functional>

// Puts the dataset into edit state if it is not, keeping the new text, which
// show() puts back after the record was re-read; marks the link modified.
// When the dataset cannot be edited the field's text is shown again.
void AcceptTextChange(ds::TFieldDataLink& link, const QString& newText, const std::function<void(const QString&)>& show);
