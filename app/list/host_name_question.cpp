#include "list/host_name_question.h"

#include "record_text.h"

std::optional<std::string> HostNameQuestion(const TOLM_ConfigureRequestType& request,
                                            const CConfigDlg& dialog) {
    if (dialog.m_bHostNameValid == 1 || request.szHostName[0] != '\0') return std::nullopt;
    return "The module " + tolm::client::MacText(request.abMacId) +
           " did not report its host name; Set sends an empty one, which clears any it "
           "has.\n\nSend the configuration anyway?";
}
