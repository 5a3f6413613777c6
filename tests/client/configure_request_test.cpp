#include "client/configure_request.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "protocol/messages.h"

namespace tolm::client {
namespace {

constexpr uint32_t kUnchanged = 0xFFFFFFFF;

TOLM_ModuleScanResponseType Module() {
    TOLM_ModuleScanResponseType r;
    std::memset(&r, 0xFF, sizeof r);
    const uint8_t mac[] = {2, 0, 0, 0, 0, 7};
    std::memcpy(r.abMacId, mac, 6), r.bMacIdValid = 1;
    r.dwIpAddress = 0x0A4D0065, r.bIpAddressValid = 1;
    r.dwSubnetMask = 0xFFFFFF00, r.bSubnetMaskValid = 1;
    r.dwGateway = 0x0A4D0001, r.bGatewayValid = 1;
    r.dwDns1 = 0x08080808, r.bDns1Valid = 1;
    r.bDns2Valid = 0;
    r.bDhcpEnabled = 1, r.bDhcpValid = 1;
    std::strcpy(r.szHostName, "press_1"), r.bHostNameValid = 1;
    return r;
}

TOLM_ConfigureRequestType Build(const TOLM_ModuleScanResponseType& module,
                                const ConfigureChanges& changes) {
    std::string error;
    const auto request = BuildConfigureRequest(module, changes, &error);
    EXPECT_TRUE(request) << error;
    return request.value_or(TOLM_ConfigureRequestType{});
}

// A value the user did not give is never sent, not even the module's own:
// another answer for the same MAC, or a stale one, would overwrite it.
TEST(BuildConfigureRequest, SendsOnlyTheChangesAndTheHostNamePiece) {
    const TOLM_ConfigureRequestType kept = Build(Module(), {});
    EXPECT_EQ(kept.abMacId[5], 7);
    for (const uint32_t address :
         {kept.dwIpAddress, kept.dwSubnetMask, kept.dwGateway, kept.dwDns1, kept.dwDns2})
        EXPECT_EQ(address, kUnchanged);
    EXPECT_EQ(kept.bDhcpEnabled, 2);
    EXPECT_STREQ(kept.szHostName, "press_1") << "the protocol has no unchanged host name";
    EXPECT_STREQ(kept.szPassword, "");
    EXPECT_EQ(kept.bChangePassword, 0);
    EXPECT_EQ(MaskedRequestText(kept), "Configure: 02-00-00-00-00-07;HN = press_1;");

    ConfigureChanges changes;
    changes.ip_address = 0x0A4D0096;
    changes.dns2 = 0x01020304;
    changes.dhcp = false;
    changes.host_name = "";
    changes.password = "secret";
    changes.new_password = "next";
    const TOLM_ConfigureRequestType changed = Build(Module(), changes);
    EXPECT_EQ(changed.dwIpAddress, 0x0A4D0096u);
    EXPECT_EQ(changed.dwSubnetMask, kUnchanged);
    EXPECT_EQ(changed.dwDns2, 0x01020304u);
    EXPECT_EQ(changed.bDhcpEnabled, 0);
    EXPECT_STREQ(changed.szPassword, "secret");
    EXPECT_EQ(MaskedRequestText(changed),
              "Configure: 02-00-00-00-00-07;Password: ****;New Password = ****;IP = "
              "10.77.0.150;DHCP = OFF;HN = ;DNS2 = 1.2.3.4;");
    changes.new_password = "";
    EXPECT_NE(MaskedRequestText(Build(Module(), changes)).find("New Password = ;"),
              std::string::npos)
        << "an empty new password removes the protection and shows so";
}

TEST(BuildConfigureRequest, RefusesWhatCannotBeSent) {
    const auto refused = [](TOLM_ModuleScanResponseType module, ConfigureChanges changes,
                            const char* reason) {
        std::string error;
        EXPECT_FALSE(BuildConfigureRequest(module, changes, &error)) << reason;
        EXPECT_NE(error.find(reason), std::string::npos) << error;
    };
    TOLM_ModuleScanResponseType no_mac = Module();
    no_mac.bMacIdValid = 0;
    refused(no_mac, {}, "no MAC");
    for (const char* name : {"plc-01", "plc.local", "plc 01", "caf\xe9"}) {
        ConfigureChanges changes;
        changes.host_name = name;
        refused(Module(), changes, "illegal host name");
    }
    TOLM_ModuleScanResponseType dashed = Module();
    std::strcpy(dashed.szHostName, "module-1");
    refused(dashed, {}, "give a new one");
    TOLM_ModuleScanResponseType nameless = Module();
    nameless.bHostNameValid = 0;
    refused(nameless, {}, "reported no host name");
    ConfigureChanges split;
    split.password = "se;cret";
    refused(Module(), split, "the password holds ';' at position 3");
    split.password = "ok";
    split.new_password = "a\x1b";
    refused(Module(), split, "the new password holds the byte \\x1B");
    ConfigureChanges broadcast;
    broadcast.gateway = kUnchanged;
    refused(Module(), broadcast, "255.255.255.255 cannot be sent");
    ConfigureChanges long_text;
    long_text.password = std::string(128, 'p');
    refused(Module(), long_text, "more than 127");
    ConfigureChanges long_password;
    long_password.password = std::string(89, 'p');
    refused(Module(), long_password, "the password is too long: 89 characters, at most 88");
    ConfigureChanges long_new;
    long_new.new_password = std::string(84, 'n');
    refused(Module(), long_new, "the new password is too long: 84 characters, at most 83");
    ConfigureChanges long_host;
    long_host.host_name = std::string(94, 'h');
    refused(Module(), long_host, "the host name is too long: 94 characters, at most 93");
    ConfigureChanges at_limits;
    at_limits.password = std::string(88, 'p');
    at_limits.new_password = std::string(83, 'n');
    at_limits.host_name = std::string(93, 'h');
    EXPECT_TRUE(BuildConfigureRequest(Module(), at_limits, nullptr)) << "each text at its limit";
    at_limits.ip_address = at_limits.subnet_mask = at_limits.gateway = 0x0A4D0065;
    at_limits.dns1 = at_limits.dns2 = 0x0A4D0065;
    refused(Module(), at_limits, "the request is too long");
    ConfigureChanges legal;
    legal.host_name = "plc_01";
    EXPECT_TRUE(BuildConfigureRequest(Module(), legal, nullptr));
    legal.host_name = "Node7";
    EXPECT_TRUE(BuildConfigureRequest(Module(), legal, nullptr));
}

// The program checks in its own words before it sends, so it takes the
// request without the builder's checks; both must carry the same request.
TEST(ComposeRequest, IsTheCheckedRequestAndCutsWhatDoesNotFit) {
    ConfigureChanges changes;
    changes.ip_address = 0x0A4D0096;
    changes.dhcp = true;
    changes.password = "secret";
    changes.new_password = "next";
    const TOLM_ConfigureRequestType checked = Build(Module(), changes);
    const TOLM_ConfigureRequestType composed = ComposeRequest(Module(), changes);
    EXPECT_EQ(std::memcmp(&checked, &composed, sizeof checked), 0);

    TOLM_ModuleScanResponseType nameless = Module();
    nameless.bHostNameValid = 0;
    changes.host_name = std::string(200, 'h');
    changes.password = std::string("pw\0hidden", 9);
    const TOLM_ConfigureRequestType cut = ComposeRequest(nameless, changes);
    EXPECT_EQ(std::string(cut.szHostName), std::string(127, 'h'));
    EXPECT_STREQ(cut.szPassword, "pw") << "a text ends at its NUL";
    changes.host_name.reset();
    EXPECT_STREQ(ComposeRequest(nameless, changes).szHostName, "")
        << "no host name reported and none given: the piece goes empty";
    char field[TOLM_TEXT_SIZE];
    EXPECT_FALSE(CopyText(std::string(128, 'x'), field)) << "CopyText refuses, never cuts";
}

// The limits the hosts check must be exactly those of the library's
// composer, or a host would blame the wrong field or send what fails.
TEST(WhyTooLong, AgreesWithTheComposerOnRandomRequests) {
    std::mt19937 random(7);
    const auto pick = [&random](uint32_t n) {
        return std::uniform_int_distribution<uint32_t>(0, n)(random);
    };
    for (int round = 0; round < 20000; ++round) {
        TOLM_ConfigureRequestType r;
        std::memset(&r, 0, sizeof r);
        std::memset(r.szPassword, 'p', pick(127));
        std::memset(r.szNewPassword, 'n', pick(127));
        std::memset(r.szHostName, 'h', pick(127));
        r.bChangePassword = static_cast<uint8_t>(pick(2));
        r.bDhcpEnabled = static_cast<uint8_t>(pick(2));
        for (uint32_t* address :
             {&r.dwIpAddress, &r.dwSubnetMask, &r.dwGateway, &r.dwDns1, &r.dwDns2})
            *address = pick(1) ? kUnchanged : pick(0xFFFFFFFE);
        const bool composed = protocol::ComposeConfigureRequest(r).has_value();
        EXPECT_EQ(WhyTooLong(r).empty(), composed) << WhyTooLong(r);
    }
}

}  // namespace
}  // namespace tolm::client
