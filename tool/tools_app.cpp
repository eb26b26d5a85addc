#include "tools_app.h"

#include "tools_dlg.h"

// FALSE: the program ends here instead of running a message loop of its own.
BOOL CToolsApp::InitInstance() {
    CToolsDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;  // the dialog object goes with this scope
    return FALSE;
}
