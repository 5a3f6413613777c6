#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "protocol/messages.h"

using tolm::protocol::ComposeConfigureRequest;

namespace {

// Changes nothing but the host name, which always goes.
TOLM_ConfigureRequestType Unchanged() {
    TOLM_ConfigureRequestType r;
    std::memset(&r, 0, sizeof r);
    const uint8_t mac[] = {0x02, 0x00, 0x00, 0x00, 0x00, 0x01};
    std::memcpy(r.abMacId, mac, 6);
    r.dwIpAddress = r.dwSubnetMask = r.dwGateway = r.dwDns1 = r.dwDns2 = 0xFFFFFFFF;
    r.bDhcpEnabled = 2;
    return r;
}

void SetText(char (&field)[TOLM_TEXT_SIZE], const std::string& text) {
    ASSERT_LT(text.size(), sizeof field);
    std::memcpy(field, text.c_str(), text.size() + 1);
}

}  // namespace

TEST(ComposeConfigureRequest, SendsOnlyTheMacAndTheHostNameWhenNothingChanges) {
    const auto text = ComposeConfigureRequest(Unchanged());
    ASSERT_TRUE(text);
    EXPECT_EQ(*text, "Configure: 02-00-00-00-00-01;HN = ;");
    EXPECT_EQ(text->size(), 35u);
}

TEST(ComposeConfigureRequest, WritesEveryPieceInOrder) {
    auto r = Unchanged();
    const uint8_t mac[] = {0xAB, 0x0C, 0xFF, 0x00, 0x10, 0xE1};
    std::memcpy(r.abMacId, mac, 6);
    SetText(r.szPassword, "old pw");
    r.bChangePassword = 1;
    SetText(r.szNewPassword, "new;pw");
    r.dwIpAddress = 0xC0A80001;
    r.dwSubnetMask = 0xFFFFFF00;
    r.dwGateway = 0;
    r.bDhcpEnabled = 0;
    SetText(r.szHostName, "cell-4");
    r.dwDns1 = 0x08080808;
    r.dwDns2 = 0x01000001;
    EXPECT_EQ(*ComposeConfigureRequest(r),
              "Configure: AB-0C-FF-00-10-E1;Password: old pw;New Password = new;pw;"
              "IP = 192.168.0.1;SN = 255.255.255.0;GW = 0.0.0.0;DHCP = OFF;HN = cell-4;"
              "DNS1 = 8.8.8.8;DNS2 = 1.0.0.1;");
    r.bDhcpEnabled = 1;
    EXPECT_NE(ComposeConfigureRequest(r)->find("DHCP = ON;HN"), std::string::npos);
}

TEST(ComposeConfigureRequest, LeavesOutWhatIsNotToChange) {
    auto r = Unchanged();
    r.bChangePassword = 2;
    SetText(r.szNewPassword, "ignored");
    r.bDhcpEnabled = 0xFF;
    EXPECT_EQ(*ComposeConfigureRequest(r), "Configure: 02-00-00-00-00-01;HN = ;");
    // An empty new password is still sent when asked for.
    r.bChangePassword = 1;
    SetText(r.szNewPassword, "");
    EXPECT_EQ(*ComposeConfigureRequest(r), "Configure: 02-00-00-00-00-01;New Password = ;HN = ;");
}

TEST(ComposeConfigureRequest, RefusesPiecesOverNinetyNineCharacters) {
    auto r = Unchanged();
    SetText(r.szPassword, std::string(88, 'p'));
    EXPECT_TRUE(ComposeConfigureRequest(r));
    SetText(r.szPassword, std::string(89, 'p'));
    EXPECT_FALSE(ComposeConfigureRequest(r));

    r = Unchanged();
    r.bChangePassword = 1;
    SetText(r.szNewPassword, std::string(83, 'n'));
    EXPECT_TRUE(ComposeConfigureRequest(r));
    SetText(r.szNewPassword, std::string(84, 'n'));
    EXPECT_FALSE(ComposeConfigureRequest(r));

    r = Unchanged();
    SetText(r.szHostName, std::string(93, 'h'));
    EXPECT_TRUE(ComposeConfigureRequest(r));
    SetText(r.szHostName, std::string(127, 'h'));
    EXPECT_FALSE(ComposeConfigureRequest(r));
}

TEST(ComposeConfigureRequest, RefusesATextOverThreeHundredNinetyNineCharacters) {
    auto r = Unchanged();
    SetText(r.szPassword, std::string(88, 'p'));
    r.bChangePassword = 1;
    SetText(r.szNewPassword, std::string(83, 'n'));
    SetText(r.szHostName, std::string(93, 'h'));
    r.dwIpAddress = r.dwSubnetMask = r.dwGateway = 0;
    r.bDhcpEnabled = 1;
    ASSERT_TRUE(ComposeConfigureRequest(r));
    EXPECT_EQ(ComposeConfigureRequest(r)->size(), 375u);
    r.dwIpAddress = r.dwSubnetMask = r.dwGateway = r.dwDns1 = r.dwDns2 = 0xC8C8C8C8;
    EXPECT_FALSE(ComposeConfigureRequest(r));

    // Exactly 399 characters go; one more does not.
    r.dwIpAddress = 0xC8C8C8C8;  // 200.200.200.200
    r.dwSubnetMask = r.dwGateway = r.dwDns1 = 0;
    r.bDhcpEnabled = 0;
    r.dwDns2 = 0xFFFFFFFF;
    const auto longest = ComposeConfigureRequest(r);
    ASSERT_TRUE(longest);
    EXPECT_EQ(longest->size(), 399u);
    r.dwSubnetMask = 0x0A000000;  // 10.0.0.0, one character longer than 0.0.0.0
    EXPECT_FALSE(ComposeConfigureRequest(r));
}

TEST(ComposeConfigureRequest, NeverReadsPastAnUnterminatedTextField) {
    auto r = Unchanged();
    std::memset(r.szHostName, 'h', sizeof r.szHostName);
    EXPECT_FALSE(ComposeConfigureRequest(r));
}
