// Which passwords can travel in a configure request as typed: the request
// is a text of ';'-ended pieces, so a ';' would end the password early and
// the module would store only a part of it (or take what follows as another
// piece); control bytes and bytes past ASCII cannot be typed alike on every
// tool that later has to send the same password.
#pragma once

#include <string>
#include <string_view>

namespace tolm::client {

// Empty when the password can be sent; otherwise a sentence (without a full
// stop) naming `what` ("the password", "the new password"), the first byte
// that cannot be sent, its position (from 1) and why.
std::string WhyPasswordCannotBeSent(std::string_view password, std::string_view what);

}  // namespace tolm::client
