#pragma once
#include <functional>

// The separate picture window, the separate animation window and the editor
// can stay above all other windows. A modal window of the main window
// switches that off while it is up, so that none of them covers it. Each of
// those windows registers here how to switch itself; the switch creates its
// window hidden when it is not open, as the window system would.
enum class OnTopWindow { Form3, Form4, Form6 };

void registerOnTopSwitch(OnTopWindow window, std::function<void(bool on)> keepOnTop);
// Switches every registered window, in the order Form3, Form4, Form6; a
// window whose switch fails is skipped.
void switchOnTopWindows(bool on);
