// The replies checked with the library's own parser and composer, so the
// simulator and the library agree on every byte that crosses the wire.
#include "responder.h"

#include <gtest/gtest.h>

#include <cstring>

#include "fleet.h"
#include "protocol/messages.h"

namespace tolm::sim {
namespace {

namespace protocol = tolm::protocol;

TOLM_ModuleScanResponseType ReadBack(const std::string& datagram) {
    return protocol::ParseScanResponse(protocol::DatagramText(datagram.data(), datagram.size()));
}

// A request that changes nothing but the host name, which always goes.
TOLM_ConfigureRequestType RequestFor(const Mac& mac) {
    TOLM_ConfigureRequestType request;
    std::memset(&request, 0, sizeof request);
    std::memcpy(request.abMacId, mac.data(), mac.size());
    request.dwIpAddress = request.dwSubnetMask = request.dwGateway = 0xFFFFFFFF;
    request.dwDns1 = request.dwDns2 = 0xFFFFFFFF;
    request.bDhcpEnabled = 2;
    return request;
}

std::string Datagram(const TOLM_ConfigureRequestType& request) {
    const auto text = protocol::ComposeConfigureRequest(request);
    EXPECT_TRUE(text);
    return text.value_or("") + '\0';
}

void SetText(char (&field)[TOLM_TEXT_SIZE], const char* text) {
    std::snprintf(field, sizeof field, "%s", text);
}

std::string Reply(const char* head, const char* mac) {
    return head + std::string(mac) + '\0';
}

class ResponderTest : public testing::Test {
  protected:
    ResponderTest() : responder_(TwoModules()) {}

    static std::vector<Module> TwoModules() {
        FleetDefaults defaults;
        defaults.fb_types = {"PROFIBUS DP", "CANopen"};
        defaults.module_versions = {{2, 15, 1000}, {3, 0, 7}};
        auto modules = MakeModules(defaults, 2);
        modules[1].password = "secret";
        modules[1].dhcp = true;
        return modules;
    }

    Reaction Send(const TOLM_ConfigureRequestType& request) {
        return responder_.Handle(Datagram(request));
    }

    static constexpr Mac kFirst{2, 0, 0, 0, 0, 1};
    static constexpr Mac kSecond{2, 0, 0, 0, 0, 2};
    Responder responder_;
};

TEST_F(ResponderTest, ScanAnswersAreReadBackWholeByTheLibrary) {
    EXPECT_EQ(responder_.Handle(std::string("Module Scan\0", 12)).kind, RequestKind::kScan);
    const auto& responses = responder_.ScanResponses();
    ASSERT_EQ(responses.size(), 2u);
    EXPECT_EQ(responses[0].back(), '\0');
    EXPECT_EQ(protocol::Classify(protocol::DatagramText(responses[0].data(), responses[0].size())),
              protocol::DatagramKind::kScanResponse);

    const TOLM_ModuleScanResponseType first = ReadBack(responses[0]);
    EXPECT_EQ(first.bProtocolVersionMajor, 1);
    EXPECT_EQ(first.bProtocolVersionMinor, 0);
    EXPECT_STREQ(first.szFbType, "PROFIBUS DP");
    EXPECT_EQ(first.bModuleVersionMajor, 2);
    EXPECT_EQ(first.bModuleVersionMinor, 15);
    EXPECT_EQ(first.wModuleVersionBuild, 1000);
    EXPECT_EQ(0, std::memcmp(first.abMacId, kFirst.data(), 6));
    EXPECT_EQ(first.dwIpAddress, 0x0A4D0065u);
    EXPECT_EQ(first.dwSubnetMask, 0xFFFFFF00u);
    EXPECT_EQ(first.dwGateway, 0x0A4D0001u);
    EXPECT_EQ(first.bDhcpEnabled, 0);
    EXPECT_EQ(first.bPswdEnabled, 0);
    EXPECT_STREQ(first.szHostName, "module-1");
    EXPECT_EQ(first.dwDns1, 0x0A4D0001u);
    EXPECT_EQ(first.dwDns2, 0x0A4D0002u);
    for (uint8_t flag : {first.bProtocolVersionValid, first.bFbTypeValid, first.bModuleVersionValid,
                         first.bMacIdValid, first.bIpAddressValid, first.bSubnetMaskValid,
                         first.bGatewayValid, first.bDhcpValid, first.bPswdValid,
                         first.bHostNameValid, first.bDns1Valid, first.bDns2Valid})
        EXPECT_EQ(flag, 1);

    const TOLM_ModuleScanResponseType second = ReadBack(responses[1]);
    EXPECT_STREQ(second.szFbType, "CANopen");
    EXPECT_EQ(second.bModuleVersionMajor, 3);
    EXPECT_EQ(second.wModuleVersionBuild, 7);
    EXPECT_EQ(0, std::memcmp(second.abMacId, kSecond.data(), 6));
    EXPECT_EQ(second.dwIpAddress, 0x0A4D0066u);
    EXPECT_EQ(second.bDhcpEnabled, 1);
    EXPECT_EQ(second.bPswdEnabled, 1);
    EXPECT_STREQ(second.szHostName, "module-2");
}

TEST_F(ResponderTest, ScanRequestIsRecognisedInAnyCaseAndWithoutNul) {
    for (const char* scan : {"module scan", "MODULE SCAN", "Module Scan and more"})
        EXPECT_EQ(responder_.Handle(scan).kind, RequestKind::kScan) << scan;
    for (const char* other : {"Module Sca", " Module Scan", ""})
        EXPECT_EQ(responder_.Handle(other).kind, RequestKind::kIgnored) << other;
}

TEST_F(ResponderTest, ConfigureAppliesEveryPieceAndTheNextScanShowsIt) {
    TOLM_ConfigureRequestType request = RequestFor(kFirst);
    request.dwIpAddress = 0xC0A80A14;
    request.dwSubnetMask = 0xFFFF0000;
    request.dwGateway = 0xC0A80A01;
    request.bDhcpEnabled = 1;
    SetText(request.szHostName, "renamed");
    request.dwDns1 = 0x01010101;
    request.dwDns2 = 0x09090909;
    const Reaction reaction = Send(request);
    EXPECT_EQ(reaction.kind, RequestKind::kConfigure);
    ASSERT_EQ(reaction.replies,
              std::vector<std::string>{Reply("Reconfigured: ", "02-00-00-00-00-01")});
    EXPECT_EQ(protocol::Classify(reaction.replies[0]), protocol::DatagramKind::kReconfigured);

    const TOLM_ModuleScanResponseType after = ReadBack(responder_.ScanResponses()[0]);
    EXPECT_EQ(after.dwIpAddress, 0xC0A80A14u);
    EXPECT_EQ(after.dwSubnetMask, 0xFFFF0000u);
    EXPECT_EQ(after.dwGateway, 0xC0A80A01u);
    EXPECT_EQ(after.bDhcpEnabled, 1);
    EXPECT_STREQ(after.szHostName, "renamed");
    EXPECT_EQ(after.dwDns1, 0x01010101u);
    EXPECT_EQ(after.dwDns2, 0x09090909u);
    EXPECT_EQ(ReadBack(responder_.ScanResponses()[1]).dwIpAddress, 0x0A4D0066u);
}

TEST_F(ResponderTest, UnchangedFieldsStayAndTheHostNamePieceAlwaysApplies) {
    Send(RequestFor(kFirst));
    const TOLM_ModuleScanResponseType after = ReadBack(responder_.ScanResponses()[0]);
    EXPECT_EQ(after.dwIpAddress, 0x0A4D0065u);
    EXPECT_EQ(after.bDhcpEnabled, 0);
    EXPECT_EQ(after.bHostNameValid, 1);
    EXPECT_STREQ(after.szHostName, "");
}

TEST_F(ResponderTest, PasswordMustMatchWhereOneIsInForce) {
    TOLM_ConfigureRequestType request = RequestFor(kSecond);
    request.dwIpAddress = 0x0A000001;
    const std::string refused = Reply("Invalid Password: ", "02-00-00-00-00-02");
    EXPECT_EQ(Send(request).replies, std::vector<std::string>{refused});
    SetText(request.szPassword, "Secret");
    EXPECT_EQ(Send(request).replies, std::vector<std::string>{refused});
    EXPECT_EQ(protocol::ParseInvalidPassword(refused), (protocol::MacAddress{2, 0, 0, 0, 0, 2}));
    EXPECT_EQ(ReadBack(responder_.ScanResponses()[1]).dwIpAddress, 0x0A4D0066u);

    SetText(request.szPassword, "secret");
    EXPECT_EQ(Send(request).replies,
              std::vector<std::string>{Reply("Reconfigured: ", "02-00-00-00-00-02")});
    EXPECT_EQ(ReadBack(responder_.ScanResponses()[1]).dwIpAddress, 0x0A000001u);

    // A module without a password takes any password given.
    TOLM_ConfigureRequestType other = RequestFor(kFirst);
    SetText(other.szPassword, "whatever");
    EXPECT_EQ(Send(other).replies,
              std::vector<std::string>{Reply("Reconfigured: ", "02-00-00-00-00-01")});
}

TEST_F(ResponderTest, PasswordCanBeChangedAndCleared) {
    TOLM_ConfigureRequestType request = RequestFor(kSecond);
    SetText(request.szPassword, "secret");
    request.bChangePassword = 1;
    SetText(request.szNewPassword, "new one");
    Send(request);
    EXPECT_EQ(responder_.modules()[1].password, "new one");
    EXPECT_EQ(Send(request).replies[0], Reply("Invalid Password: ", "02-00-00-00-00-02"));

    SetText(request.szPassword, "new one");
    SetText(request.szNewPassword, "");
    EXPECT_EQ(Send(request).replies[0], Reply("Reconfigured: ", "02-00-00-00-00-02"));
    EXPECT_EQ(ReadBack(responder_.ScanResponses()[1]).bPswdEnabled, 0);

    // Now without a password, a module can be given one.
    TOLM_ConfigureRequestType first = RequestFor(kFirst);
    first.bChangePassword = 1;
    SetText(first.szNewPassword, "fresh");
    Send(first);
    EXPECT_EQ(ReadBack(responder_.ScanResponses()[0]).bPswdEnabled, 1);
}

TEST_F(ResponderTest, RequestsForOtherMacsAndGarbageAreIgnored) {
    const std::string before = responder_.ScanResponses()[0];
    EXPECT_TRUE(Send(RequestFor({2, 0, 0, 0, 0, 3})).replies.empty());
    for (const std::string& garbage :
         {std::string("Configure: 02-00-00-00-00;IP = 1.2.3.4;"),
          std::string("Configure: 02-00-00-00-00-01;IP = 1.2.3;"),
          std::string("Configure: 02-00-00-00-00-01;DHCP = maybe;"),
          std::string("Configure:02-00-00-00-00-01;IP = 1.2.3.4;"),
          std::string(1, '\0') + "Configure: 02-00-00-00-00-01;IP = 1.2.3.4;",
          std::string("Reconfigured: 02-00-00-00-00-01"), std::string("protocol version = 1.0;")}) {
        const Reaction reaction = responder_.Handle(garbage);
        EXPECT_TRUE(reaction.replies.empty()) << garbage;
    }
    EXPECT_EQ(responder_.ScanResponses()[0], before);
}

TEST_F(ResponderTest, HandWrittenPiecesAreReadLeniently) {
    const auto reaction =
        responder_.Handle("configure: 2-0-0-0-0-1;junk;X = 1;ip = 10.1.2.3;hn = a=b;DHCP = on");
    EXPECT_EQ(reaction.replies.size(), 1u);
    EXPECT_EQ(responder_.modules()[0].ip, 0x0A010203u);
    EXPECT_EQ(responder_.modules()[0].host_name, "a=b");
    EXPECT_TRUE(responder_.modules()[0].dhcp);
    // The text ends at its first NUL, like the library reads it.
    responder_.Handle(std::string("Configure: 02-00-00-00-00-01;IP = 10.9.9.9;") + '\0' +
                      "IP = 1.1.1.1;");
    EXPECT_EQ(responder_.modules()[0].ip, 0x0A090909u);
}

TEST(Responder, ModulesSharingAMacAllAnswer) {
    std::vector<Module> modules(2);
    modules[1].password = "pw";
    Responder responder(modules);
    const auto replies = responder.Handle(Datagram(RequestFor({2, 0, 0, 0, 0, 1}))).replies;
    EXPECT_EQ(replies,
              (std::vector<std::string>{Reply("Reconfigured: ", "02-00-00-00-00-01"),
                                        Reply("Invalid Password: ", "02-00-00-00-00-01")}));
}

}  // namespace
}  // namespace tolm::sim
