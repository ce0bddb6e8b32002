#pragma once

// Registers the accessible objects of this program's own widgets (the
// reading pane, the side buttons, the title panel) with Qt. Safe to call
// more than once; every widget that needs them calls it when made.
void InstallAccessibleWidgets();
