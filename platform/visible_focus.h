// Keyboard focus that can be seen: a frame in the highlight colour around
// the control that has the focus, in every window of the program. The
// platform's styles draw the focus faintly, or only after a Tab, or not at
// all on a selected list row; an engineer working from the keyboard must
// see where Enter and the arrow keys go.
#pragma once

class QApplication;

namespace torvex {

// Puts the program's style under one that draws the focus frame, and keeps
// one frame on whichever control takes the focus (none on windows, menus
// and controls that take no keyboard focus).
void showFocusVisibly(QApplication& app);

} // namespace torvex
