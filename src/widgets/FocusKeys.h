#pragma once

class QWidget;

// Keys that move the focus out of fields that keep Tab for themselves.
namespace FocusKeys {

// Ctrl+Tab (and Ctrl+Shift+Tab) in this text field leaves it for the next
// (previous) control of its window; Tab keeps its own meaning there.
void ctrlTabLeaves(QWidget *field);

} // namespace FocusKeys
