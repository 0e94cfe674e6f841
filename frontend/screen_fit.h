// Windows that fit the screen they open on.
#pragma once

#include <QRect>

class QWidget;

// Shrinks `window` to `room` (a screen's available area, in the toolkit's
// device-independent pixels) and moves it inside, so that no control lies
// beyond the screen's edge; a window that fits stays as it is. The frame
// the window system draws around it is counted in.
void FitInto(QWidget& window, const QRect& room);
// The same on the available area of the screen the window opens on.
void FitToScreen(QWidget& window);
// From now on every window of the program is fitted to its screen as it is
// shown (a maximised or full-screen one is left to the window system).
void KeepWindowsOnScreen();
