#include "address_text.h"

#include <gtest/gtest.h>

namespace tolm::client {
namespace {

TEST(ParseIpv4, ReadsFourNumbersMostSignificantFirst) {
    EXPECT_EQ(ParseIpv4("192.168.0.1", nullptr), 0xC0A80001u);
    EXPECT_EQ(ParseIpv4("0.0.0.0", nullptr), 0u);
    EXPECT_EQ(ParseIpv4("255.255.255.255", nullptr), 0xFFFFFFFFu);
    EXPECT_EQ(ParseIpv4("010.001.000.009", nullptr), 0x0A010009u);
}

TEST(ParseIpv4, RefusesWithAReason) {
    const std::pair<const char*, const char*> cases[] = {
        {"10.0.0", "four numbers"},
        {"10.0.0.1.5", "four numbers"},
        {"", "four numbers"},
        {"10.0.0.256", "256 is above 255"},
        {"10..0.1", "one to three digits"},
        {"10.0.0.1000", "one to three digits"},
        {"10.0.0.x", "'x' is not a digit"},
        {" 10.0.0.1", "' ' is not a digit"},
        {"10.0.0.-1", "'-' is not a digit"},
    };
    for (const auto& [text, reason] : cases) {
        std::string error;
        EXPECT_FALSE(ParseIpv4(text, &error)) << text;
        EXPECT_NE(error.find(reason), std::string::npos) << text << ": " << error;
        EXPECT_NE(error.find(std::string("\"") + text + "\""), std::string::npos) << error;
    }
}

TEST(ParseMac, ReadsDashesOrColonsInAnyCase) {
    EXPECT_EQ(ParseMac("02-00-0a-0B-0c-FF", nullptr), (Mac{2, 0, 0x0A, 0x0B, 0x0C, 0xFF}));
    EXPECT_EQ(ParseMac("2:0:a:b:c:d", nullptr), (Mac{2, 0, 0xA, 0xB, 0xC, 0xD}));
}

TEST(ParseMac, RefusesWithAReason) {
    const std::pair<const char*, const char*> cases[] = {
        {"02-00-00-00-00", "six hex groups"},    {"02-00-00-00-00-01-02", "six hex groups"},
        {"02-00:00-00-00-01", "six hex groups"}, {"02-00-00-00-00-100", "one or two hex"},
        {"02--00-00-00-01", "one or two hex"},   {"02-00-00-00-00-0g", "'g' is not a hex"},
    };
    for (const auto& [text, reason] : cases) {
        std::string error;
        EXPECT_FALSE(ParseMac(text, &error)) << text;
        EXPECT_NE(error.find(reason), std::string::npos) << text << ": " << error;
    }
}

}  // namespace
}  // namespace tolm::client
