#pragma once

class QWindow;

namespace larkspur {

// Asks the X11 window manager to show the window on every workspace and above ordinary
// windows. Elsewhere it does nothing; the window still works, on one workspace.
void showOnAllWorkspaces(QWindow& window);

}  // namespace larkspur
