#include "record_text.h"

#include <gtest/gtest.h>

#include <cstring>

namespace tolm::client {
namespace {

// A record as the library builds it before any key is found.
TOLM_ModuleScanResponseType Unreported() {
    TOLM_ModuleScanResponseType r;
    std::memset(&r, 0xFF, sizeof r);
    for (uint8_t* flag :
         {&r.bProtocolVersionValid, &r.bFbTypeValid, &r.bModuleVersionValid, &r.bMacIdValid,
          &r.bIpAddressValid, &r.bSubnetMaskValid, &r.bGatewayValid, &r.bDhcpValid, &r.bPswdValid,
          &r.bHostNameValid, &r.bDns1Valid, &r.bDns2Valid})
        *flag = 0;
    return r;
}

TEST(RecordText, EveryColumnOfAnUnreportedRecordReadsNotAvailable) {
    const TOLM_ModuleScanResponseType r = Unreported();
    for (const std::string& text : ListRowTexts(r)) EXPECT_EQ(text, "N/A");
    EXPECT_EQ(HostNameText(r), "N/A");
    EXPECT_EQ(Dns1Text(r), "N/A");
    EXPECT_EQ(Dns2Text(r), "N/A");
    EXPECT_EQ(PasswordStateText(r), "N/A");
}

TEST(RecordText, ReportedFieldsReadAsTheListShowsThem) {
    TOLM_ModuleScanResponseType r = Unreported();
    r.dwIpAddress = 0xC0A80009, r.bIpAddressValid = 1;
    r.dwSubnetMask = 0xFFFFFF00, r.bSubnetMaskValid = 1;
    r.dwGateway = 0x0A000001, r.bGatewayValid = 1;
    r.bDhcpEnabled = 1, r.bDhcpValid = 1;
    r.bModuleVersionMajor = 1, r.bModuleVersionMinor = 2, r.wModuleVersionBuild = 3;
    r.bModuleVersionValid = 1;
    std::strcpy(r.szFbType, "PROFIBUS DP"), r.bFbTypeValid = 1;
    const uint8_t mac[] = {0x02, 0x00, 0x0a, 0xbc, 0xde, 0xf1};
    std::memcpy(r.abMacId, mac, 6), r.bMacIdValid = 1;
    const ListTexts expected = {"192.168.0.9", "255.255.255.0", "10.0.0.1",         "On",
                                "1.02.3",      "PROFIBUS DP",   "02-00-0A-BC-DE-F1"};
    EXPECT_EQ(ListRowTexts(r), expected);
}

TEST(RecordText, VersionDhcpAndPasswordRules) {
    EXPECT_EQ(VersionText(1, 12, 3), "1.12.3");
    EXPECT_EQ(VersionText(255, 255, 65535), "255.255.65535");
    EXPECT_STREQ(DhcpText(1), "On");
    for (const uint8_t off : {0, 2, 0xFF}) EXPECT_STREQ(DhcpText(off), "Off");
    EXPECT_STREQ(PasswordText(0), "Off");
    EXPECT_STREQ(PasswordText(0xFF), "On");
}

TEST(RecordText, TextFieldsStopAtTheirNulOrTheirEnd) {
    char text[TOLM_TEXT_SIZE];
    std::memset(text, 'x', sizeof text);
    EXPECT_EQ(FieldText(text).size(), 128u) << "an unterminated field is never read past";
    text[5] = '\0';
    EXPECT_EQ(FieldText(text), "xxxxx");
}

}  // namespace
}  // namespace tolm::client
