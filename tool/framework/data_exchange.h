// Data exchange between a dialog's controls and its members. Loading writes each member into its
// control; saving parses each control's text into its member and checks its range. The first
// field that fails stops the exchange: a prompt is shown, the focus goes to that field, and the
// members after it keep their values (a value that failed only its range is already stored).
#pragma once

#include "platform.h"

class CDialog;
class CWnd;

// Thrown by CDataExchange::Fail, caught by CDialog::UpdateData.
struct DataExchangeFailure {};

class CDataExchange {
public:
    CDataExchange(CDialog* dialog, BOOL saveAndValidate)
        : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}

    BOOL m_bSaveAndValidate;
    CDialog* m_pDlgWnd;

    // The control `id` of the dialog, remembered as the field a failure points at.
    CWnd* PrepareCtrl(int id);
    // The same for an edit, whose text is selected when the failure puts the focus on it.
    CWnd* PrepareEditCtrl(int id);
    // Puts the focus on the last prepared field and stops the exchange.
    [[noreturn]] void Fail();

private:
    CWnd* m_lastControl = nullptr;
    bool m_lastIsEdit = false;
};

void DDX_Control(CDataExchange* pDX, int id, CWnd& control);
void DDX_Text(CDataExchange* pDX, int id, float& value);
void DDX_Text(CDataExchange* pDX, int id, int& value);
void DDX_Text(CDataExchange* pDX, int id, short& value);
void DDV_MinMaxFloat(CDataExchange* pDX, float value, float minimum, float maximum);
void DDV_MinMaxInt(CDataExchange* pDX, int value, int minimum, int maximum);
