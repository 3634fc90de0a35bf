#pragma once
// The main window's size is given as its outer size, frame included. The frame exists only
// once the window is shown (and only under a window manager), so these run after show().

#include <QSize>

class QWidget;

namespace corvane {

// Shrinks the fixed client size so that client plus frame is `outer`; without a frame the
// client is `outer` itself. Safe to call again when the frame changes.
void FitOuterSize(QWidget& window, QSize outer);

// Moves the window so that its outer frame is centred on the available area of its screen.
void CentreOnScreen(QWidget& window);

// Keeps a window that is about to be shown centred as above: when it is shown, whenever
// its size changes, and when a window manager puts its frame round it (which happens
// only after it is shown, sometimes well after). A user moving it is left alone.
void KeepCentredOnScreen(QWidget& window);

// The same for a window of a fixed outer size: each time, its client is first fitted so
// that client and frame together are `outer`.
void KeepOuterSizeCentred(QWidget& window, QSize outer);

}  // namespace corvane
