#pragma once
// Placement of tool windows.
class QWidget;

namespace qingheng {

// Moves a window to the middle of the screen it is on (the primary screen before it is shown).
void centreOnScreen(QWidget* window);

}  // namespace qingheng
