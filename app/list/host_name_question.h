// The question Set asks before a request that would clear a host name the
// user never saw: every request carries a host-name piece (the protocol has
// no "leave unchanged" for it), so a module that reported none is sent an
// empty one, which clears any name it has.
#pragma once

#include <optional>
#include <string>

#include "config/config_dlg.h"
#include "tolm.h"

// The Yes/No question, naming the module, when `request` carries an empty
// host name to a module that did not report one; none otherwise.
std::optional<std::string> HostNameQuestion(const TOLM_ConfigureRequestType& request,
                                            const CConfigDlg& dialog);
