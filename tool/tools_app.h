// The application object: shows the main dialog modally; the program ends when it closes.
#pragma once

#include "cwin_app.h"

class CToolsApp : public CWinApp {
public:
    BOOL InitInstance() override;
};
