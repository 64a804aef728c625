#pragma once

class QDialog;
class QWidget;

// Modal windows belong to the window they were opened from: the window
// manager stacks them over it, centres them on it and minimises and
// restores the two together (a modal window minimised alone would leave an
// owner that ignores every click).
namespace OwnedWindow {

// Makes dialog a window of owner (when there is one), keeping its flags.
void attach(QDialog *dialog, QWidget *owner);

} // namespace OwnedWindow
