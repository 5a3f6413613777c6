#include "password_rule.h"

#include <cstdio>

namespace tolm::client {
namespace {

std::string ByteText(unsigned char byte) {
    char text[8];
    std::snprintf(text, sizeof text, "\\x%02X", byte);
    return text;
}

}  // namespace

std::string WhyPasswordCannotBeSent(std::string_view password, std::string_view what) {
    for (std::size_t i = 0; i < password.size(); ++i) {
        const auto byte = static_cast<unsigned char>(password[i]);
        const std::string where = std::string(what) + " holds ";
        const std::string at = " at position " + std::to_string(i + 1);
        if (byte == ';')
            return where + "';'" + at +
                   ", which ends a piece of the request: the module would store only what stands "
                   "before it";
        if (byte < 0x20 || byte > 0x7E)
            return where + "the byte " + ByteText(byte) + at +
                   ": only printable ASCII characters (blank to '~') can be sent";
    }
    return {};
}

}  // namespace tolm::client
