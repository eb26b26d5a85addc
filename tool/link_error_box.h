// The link library's error box, shown as a modal box over the dialogs, always by the window's
// thread: timers keep ticking while it is open.
#pragma once

void InstallLinkErrorBox();
