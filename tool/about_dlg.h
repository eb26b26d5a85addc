// The About box, dialog template 100.
#pragma once

#include "cdialog.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg();
};
