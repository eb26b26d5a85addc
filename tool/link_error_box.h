// The link library's error box, shown as a modal box over the dialogs. The link is called only
// from the window's thread, so the box runs there, and timers keep ticking while it is open.
#pragma once

void InstallLinkErrorBox();
