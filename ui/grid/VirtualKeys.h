#pragma once
#include <Qt>

class QKeyEvent;

// The Windows virtual-key code of a Qt key (Enter is 13, 'A' is 65, F1 is 112); 0 when the
// key has none. `keypad` tells a key of the numeric keypad, whose digits and operators have
// codes of their own.
int VirtualKeyFromQtKey(int qtKey, bool keypad = false);

// The virtual-key code of a key press.
int VirtualKeyCode(const QKeyEvent& event);
