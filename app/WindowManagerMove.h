#pragma once

class QWindow;

namespace tessora {

// Hands `window` to the window manager's interactive move (_NET_WM_MOVERESIZE): the window
// follows the pointer until the button held on it is released. False where the window manager
// offers no such move.
bool beginWindowManagerMove(QWindow& window);

}  // namespace tessora
