// Who runs linkora where, for the audit log, and where per-user state
// lives. One implementation per OS.
#pragma once

#include <string>

namespace tolm::linkora {

std::string ComputerName();  // empty when it cannot be told
std::string UserName();      // empty when it cannot be told

// $XDG_STATE_HOME, else ~/.local/state; %LOCALAPPDATA% on Windows. Empty
// when none can be told.
std::string StateFolder();

}  // namespace tolm::linkora
