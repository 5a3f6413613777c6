#include "config/confirm_password_dlg.h"

#include "resource.h"
#include "tolm.h"

CConfirmPasswordDlg::CConfirmPasswordDlg() : CDialog(IDD_CONFIRM_PASSWORD) {}

void CConfirmPasswordDlg::DoDataExchange(CDataExchange& dx) {
    CDialog::DoDataExchange(dx);
    DDX_Text(dx, IDC_CONFIRM_PASSWORD, m_strPassword);
    DDV_MaxChars(dx, m_strPassword, TOLM_TEXT_SIZE - 1);
}
