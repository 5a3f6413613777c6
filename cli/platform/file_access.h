// Who besides its owner can read a file: a password file should be the
// owner's alone, as ssh insists for a key. One implementation per OS.
#pragma once

#include <string>

namespace tolm::linkora {

// "mode 0644" or "Everyone, Users": those who can read it besides its owner;
// empty when nobody else can, or when it cannot be told.
std::string OthersWhoCanRead(const std::string& path);

}  // namespace tolm::linkora
