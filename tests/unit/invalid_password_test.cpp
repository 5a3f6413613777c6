#include <gtest/gtest.h>

#include "exact_buffer.h"
#include "protocol/messages.h"

using tolm::protocol::MacAddress;
using tolm::protocol::ParseInvalidPassword;

namespace {
const MacAddress kUnknown = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
}

TEST(ParseInvalidPassword, ReadsTheMacAfterTheKey) {
    EXPECT_EQ(ParseInvalidPassword("Invalid Password: 02-00-0A-bc-00-01"),
              (MacAddress{0x02, 0x00, 0x0A, 0xBC, 0x00, 0x01}));
    EXPECT_EQ(ParseInvalidPassword("INVALID PASSWORD: 2-0-0-0-0-1"),
              (MacAddress{2, 0, 0, 0, 0, 1}));
}

TEST(ParseInvalidPassword, KeepsFfWhereNothingCanBeRead) {
    EXPECT_EQ(ParseInvalidPassword("Invalid Password:02-00-00-00-00-01"), kUnknown);
    EXPECT_EQ(ParseInvalidPassword("Invalid Password: "), kUnknown);
    EXPECT_EQ(ParseInvalidPassword("Invalid Password: zz"), kUnknown);
    EXPECT_EQ(ParseInvalidPassword("Invalid Password: 02-00-00"),
              (MacAddress{0x02, 0x00, 0x00, 0xFF, 0xFF, 0xFF}));
}

TEST(ParseInvalidPassword, StopsAtTheEndOfAnUnterminatedDatagram) {
    const ExactBuffer text("Invalid Password: 02-00-00-00-00-0");
    EXPECT_EQ(ParseInvalidPassword(text.view()), (MacAddress{2, 0, 0, 0, 0, 0}));
    const ExactBuffer cut("Invalid Password: 02-");
    EXPECT_EQ(ParseInvalidPassword(cut.view()), (MacAddress{2, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    const ExactBuffer two("Invalid Password: 02-00");
    EXPECT_EQ(ParseInvalidPassword(two.view()), (MacAddress{2, 0, 0xFF, 0xFF, 0xFF, 0xFF}));
    const ExactBuffer prefix("Invalid Password: 0x");
    EXPECT_EQ(ParseInvalidPassword(prefix.view()), (MacAddress{0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
}

// Hosts tell whose confirmation a reply is by the MAC it names: only a whole
// MAC right after the prefix counts, never one found further on.
TEST(ReplyMac, ReadsAWholeMacRightAfterEitherPrefix) {
    using tolm::protocol::ReplyMac;
    EXPECT_EQ(ReplyMac("Reconfigured: 02-00-00-00-00-0a"), (MacAddress{2, 0, 0, 0, 0, 0x0A}));
    EXPECT_EQ(ReplyMac("reconfigured:02-00-00-00-00-01 and more"), (MacAddress{2, 0, 0, 0, 0, 1}));
    EXPECT_EQ(ReplyMac("Invalid Password: 02-00-00-00-00-02"), (MacAddress{2, 0, 0, 0, 0, 2}));
    EXPECT_FALSE(ReplyMac("Reconfigured:"));
    EXPECT_FALSE(ReplyMac("Reconfigured: done 02-00-00-00-00-01"));
    EXPECT_FALSE(ReplyMac("Reconfigured: 02-00-00-00-00"));
    EXPECT_FALSE(ReplyMac(ExactBuffer("Reconfigured: 02-00-00-00-00-").view()));
    EXPECT_FALSE(ReplyMac("Module Scan 02-00-00-00-00-01"));
}
