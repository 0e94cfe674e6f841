// Entry fields are handled when the user leaves them for another control of
// the window or presses Enter in them, whether or not the text changed.
#pragma once

#include <functional>

class QLineEdit;

// `handler` runs when `field` loses the focus to another control of its
// window (not when another window or a message box takes the focus) and
// when Enter or Return is pressed in it.
void OnLeave(QLineEdit* field, std::function<void()> handler);
