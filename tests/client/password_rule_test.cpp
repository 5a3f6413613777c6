#include "password_rule.h"

#include <gtest/gtest.h>

namespace tolm::client {
namespace {

TEST(WhyPasswordCannotBeSent, PassesPrintableAsciiAndNamesTheFirstByteThatCannotTravel) {
    EXPECT_EQ(WhyPasswordCannotBeSent("", "the password"), "");
    EXPECT_EQ(WhyPasswordCannotBeSent(" Az09~!\"#$%&'()*+,-./:<=>?@[\\]^_`{|}", "the password"),
              "");

    const std::string semicolon = WhyPasswordCannotBeSent("ab;IP = 1.2.3.4", "the new password");
    EXPECT_NE(semicolon.find("the new password holds ';' at position 3"), std::string::npos)
        << semicolon;
    for (const char* text : {"a\x1b[2J", "a\x7f", "a\x01", "a\xc3\xa4", "a\tb"}) {
        const std::string why = WhyPasswordCannotBeSent(text, "the password");
        EXPECT_NE(why.find("at position 2"), std::string::npos) << why;
        EXPECT_NE(why.find("the byte \\x"), std::string::npos) << why;
    }
    EXPECT_NE(WhyPasswordCannotBeSent(std::string("a\0b", 3), "the password").find("\\x00"),
              std::string::npos);
}

}  // namespace
}  // namespace tolm::client
