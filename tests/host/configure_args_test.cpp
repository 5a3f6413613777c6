#include "configure_args.h"

#include <gtest/gtest.h>

#include <cstring>

namespace tolm::host {
namespace {

TOLM_ConfigureRequestType Parse(const std::vector<std::string>& args) {
    std::string error;
    const auto request = ParseConfigureArgs(args, error);
    EXPECT_TRUE(request.has_value()) << error;
    return request.value_or(TOLM_ConfigureRequestType{});
}

TEST(ConfigureArgs, UnnamedFieldsLeaveTheModuleUnchanged) {
    const auto request = Parse({"mac=02-00-00-00-00-01"});
    const uint8_t mac[] = {2, 0, 0, 0, 0, 1};
    EXPECT_EQ(0, std::memcmp(request.abMacId, mac, sizeof mac));
    EXPECT_STREQ(request.szPassword, "");
    EXPECT_EQ(request.bChangePassword, 0);
    EXPECT_EQ(request.dwIpAddress, 0xFFFFFFFFu);
    EXPECT_EQ(request.dwSubnetMask, 0xFFFFFFFFu);
    EXPECT_EQ(request.dwGateway, 0xFFFFFFFFu);
    EXPECT_EQ(request.bDhcpEnabled, 2);
    EXPECT_STREQ(request.szHostName, "");
    EXPECT_EQ(request.dwDns1, 0xFFFFFFFFu);
    EXPECT_EQ(request.dwDns2, 0xFFFFFFFFu);
}

TEST(ConfigureArgs, EveryFieldIsRead) {
    const auto request =
        Parse({"mac=a-b-c-d-e-ff", "pw=old\\x20pw", "newpw=", "ip=192.168.0.1", "sn=255.255.255.0",
               "gw=0x0A000001", "dhcp=1", "hn=host-1", "dns1=8.8.8.8", "dns2=0.0.0.0"});
    const uint8_t mac[] = {0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0xFF};
    EXPECT_EQ(0, std::memcmp(request.abMacId, mac, sizeof mac));
    EXPECT_STREQ(request.szPassword, "old pw");
    EXPECT_EQ(request.bChangePassword, 1);
    EXPECT_STREQ(request.szNewPassword, "");
    EXPECT_EQ(request.dwIpAddress, 0xC0A80001u);
    EXPECT_EQ(request.dwSubnetMask, 0xFFFFFF00u);
    EXPECT_EQ(request.dwGateway, 0x0A000001u);
    EXPECT_EQ(request.bDhcpEnabled, 1);
    EXPECT_STREQ(request.szHostName, "host-1");
    EXPECT_EQ(request.dwDns1, 0x08080808u);
    EXPECT_EQ(request.dwDns2, 0u);
}

TEST(ConfigureArgs, ChangeOverridesTheFlagThatNewPasswordSets) {
    EXPECT_EQ(Parse({"newpw=x", "change=7"}).bChangePassword, 7);
}

TEST(ConfigureArgs, TextsUpTo127CharactersFit) {
    EXPECT_EQ(std::strlen(Parse({"hn=" + std::string(127, 'h')}).szHostName), 127u);
    std::string error;
    EXPECT_FALSE(ParseConfigureArgs({"hn=" + std::string(128, 'h')}, error));
}

TEST(ConfigureArgs, MalformedArgumentsAreRefusedWithAReason) {
    for (const std::string bad :
         {"mac=02-00-00-00-00", "mac=02-00-00-00-00-100", "mac=02-00-00-00-00-0g", "ip=1.2.3",
          "ip=1.2.3.256", "ip=1.2.3.4.5", "ip=0x123456789", "dhcp=256", "pw=\\x00", "colour=red",
          "ip"}) {
        std::string error;
        EXPECT_FALSE(ParseConfigureArgs({bad}, error)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
}

}  // namespace
}  // namespace tolm::host
