#pragma once

class QWidget;

namespace valvix {

// Makes Enter and Return press a window's push button that has the keyboard focus, as
// Space does. Covers the buttons the window holds when it is called.
void PressButtonsOnEnter(QWidget& window);

} // namespace valvix
