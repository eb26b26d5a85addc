#include "data_exchange.h"

#include <cfloat>
#include <limits>

#include "cdialog.h"
#include "decimal_parse.h"
#include "modal_box.h"

namespace {

constexpr const char* kEnterNumber = "请输入一个数。";
constexpr const char* kEnterInteger = "请输入一个整数。";

void Prompt(const char* text) { AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION); }

CString FieldText(CDataExchange* pDX, int id) {
    CString text;
    pDX->PrepareEditCtrl(id)->GetWindowText(text);
    return text;
}

template <class Integer>
void ExchangeInteger(CDataExchange* pDX, int id, Integer& value) {
    if (!pDX->m_bSaveAndValidate) {
        CString text;
        text.Format("%d", static_cast<int>(value));
        pDX->PrepareEditCtrl(id)->SetWindowText(text);
        return;
    }
    const auto parsed = ParseDecimalInteger(FieldText(pDX, id).str());
    if (!parsed || *parsed < std::numeric_limits<Integer>::min() ||
        *parsed > std::numeric_limits<Integer>::max()) {
        Prompt(kEnterInteger);
        pDX->Fail();
    }
    value = static_cast<Integer>(*parsed);
}

}  // namespace

CWnd* CDataExchange::PrepareCtrl(int id) {
    CWnd* control = m_pDlgWnd->GetDlgItem(id);
    m_lastControl = control;
    m_lastIsEdit = false;
    return control;
}

CWnd* CDataExchange::PrepareEditCtrl(int id) {
    CWnd* control = PrepareCtrl(id);
    m_lastIsEdit = true;
    return control;
}

void CDataExchange::Fail() {
    if (m_bSaveAndValidate && m_lastControl != nullptr) {
        m_lastControl->SetFocus();
        if (m_lastIsEdit) {
            m_lastControl->SendMessage(EM_SETSEL, 0, -1);
        }
    }
    throw DataExchangeFailure{};
}

void DDX_Control(CDataExchange* pDX, int id, CWnd& control) {
    pDX->PrepareCtrl(id);
    pDX->m_pDlgWnd->BindControl(id, control);
}

void DDX_Text(CDataExchange* pDX, int id, float& value) {
    if (!pDX->m_bSaveAndValidate) {
        CString text;
        text.Format("%.*g", FLT_DIG, static_cast<double>(value));
        pDX->PrepareEditCtrl(id)->SetWindowText(text);
        return;
    }
    const auto parsed = ParseDecimalReal(FieldText(pDX, id).str());
    if (!parsed || *parsed > FLT_MAX || *parsed < -FLT_MAX) {
        Prompt(kEnterNumber);
        pDX->Fail();
    }
    value = static_cast<float>(*parsed);
}

void DDX_Text(CDataExchange* pDX, int id, int& value) { ExchangeInteger(pDX, id, value); }

void DDX_Text(CDataExchange* pDX, int id, short& value) { ExchangeInteger(pDX, id, value); }

void DDV_MinMaxFloat(CDataExchange* pDX, float value, float minimum, float maximum) {
    if (pDX->m_bSaveAndValidate && (value < minimum || value > maximum)) {
        CString text;
        text.Format("请输入一个介于 %.*g 和 %.*g 之间的数。", FLT_DIG, static_cast<double>(minimum),
                    FLT_DIG, static_cast<double>(maximum));
        Prompt(text);
        pDX->Fail();
    }
}

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minimum, int maximum) {
    if (pDX->m_bSaveAndValidate && (value < minimum || value > maximum)) {
        CString text;
        text.Format("请输入一个介于 %d 和 %d 之间的整数。", minimum, maximum);
        Prompt(text);
        pDX->Fail();
    }
}
