#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "exact_buffer.h"
#include "protocol/messages.h"

using tolm::protocol::ParseScanResponse;

namespace {

TOLM_ModuleScanResponseType Parse(const std::string& text) {
    const ExactBuffer buffer(text);
    return ParseScanResponse(buffer.view());
}

// The twelve presence flags, in the record's order.
std::vector<uint8_t> Flags(const TOLM_ModuleScanResponseType& r) {
    return {r.bProtocolVersionValid, r.bFbTypeValid,    r.bModuleVersionValid,
            r.bMacIdValid,           r.bIpAddressValid, r.bSubnetMaskValid,
            r.bGatewayValid,         r.bDhcpValid,      r.bPswdValid,
            r.bHostNameValid,        r.bDns1Valid,      r.bDns2Valid};
}

constexpr const char* kFullResponse =
    "protocol version = 1.2;fb type = PROFIBUS DP;module version = 2.15.1000;"
    "mac = 02-00-00-AB-cd-01;ip = 192.168.0.1;sn = 255.255.255.0;gw = 192.168.0.254;"
    "dhcp = off;pswd = on;hn = station-7;dns1 = 8.8.8.8;dns2 = 1.0.0.1;";

}  // namespace

TEST(ParseScanResponse, ReadsEveryFieldOfAFullAnswer) {
    const auto r = Parse(kFullResponse);
    EXPECT_EQ(r.bProtocolVersionValid, 1);
    EXPECT_EQ(r.bProtocolVersionMajor, 1);
    EXPECT_EQ(r.bProtocolVersionMinor, 2);
    EXPECT_EQ(r.bFbTypeValid, 1);
    EXPECT_STREQ(r.szFbType, "PROFIBUS DP");
    EXPECT_EQ(r.bModuleVersionValid, 1);
    EXPECT_EQ(r.bModuleVersionMajor, 2);
    EXPECT_EQ(r.bModuleVersionMinor, 15);
    EXPECT_EQ(r.wModuleVersionBuild, 1000);
    EXPECT_EQ(r.bMacIdValid, 1);
    const uint8_t mac[] = {0x02, 0x00, 0x00, 0xAB, 0xCD, 0x01};
    EXPECT_EQ(std::memcmp(r.abMacId, mac, 6), 0);
    EXPECT_EQ(r.bIpAddressValid, 1);
    EXPECT_EQ(r.dwIpAddress, 0xC0A80001u);
    EXPECT_EQ(r.dwSubnetMask, 0xFFFFFF00u);
    EXPECT_EQ(r.dwGateway, 0xC0A800FEu);
    EXPECT_EQ(r.bGatewayValid, 1);
    EXPECT_EQ(r.bDhcpValid, 1);
    EXPECT_EQ(r.bDhcpEnabled, 0);
    EXPECT_EQ(r.bPswdValid, 1);
    EXPECT_EQ(r.bPswdEnabled, 1);
    EXPECT_STREQ(r.szHostName, "station-7");
    EXPECT_EQ(r.dwDns1, 0x08080808u);
    EXPECT_EQ(r.bDns2Valid, 1);
    EXPECT_EQ(r.dwDns2, 0x01000001u);
}

TEST(ParseScanResponse, WithoutKeysLeavesFlagsZeroAndEveryOtherByteFf) {
    for (const std::string& text : {std::string(), std::string("hello modules"),
                                    std::string("ip=1.2.3.4"), std::string(1500, 'x')}) {
        const auto r = Parse(text);
        TOLM_ModuleScanResponseType expected;
        std::memset(&expected, 0xFF, sizeof expected);
        for (uint8_t* flag : {&expected.bProtocolVersionValid, &expected.bFbTypeValid,
                              &expected.bModuleVersionValid, &expected.bMacIdValid,
                              &expected.bIpAddressValid, &expected.bSubnetMaskValid,
                              &expected.bGatewayValid, &expected.bDhcpValid, &expected.bPswdValid,
                              &expected.bHostNameValid, &expected.bDns1Valid, &expected.bDns2Valid})
            *flag = 0;
        EXPECT_EQ(std::memcmp(&r, &expected, sizeof r), 0) << text.substr(0, 20);
    }
}

TEST(ParseScanResponse, FindsKeysAnywhereIgnoringCaseAndTakesTheFirst) {
    EXPECT_EQ(Parse("IP = 10.0.0.1;").dwIpAddress, 0x0A000001u);
    EXPECT_EQ(Parse("IP = 10.0.0.1;").bIpAddressValid, 1);
    EXPECT_EQ(Parse("junk ip = 10.0.0.1;ip = 10.0.0.2;").dwIpAddress, 0x0A000001u);
    EXPECT_EQ(Parse("hn = b;ip = 10.0.0.1;mac = 1-2-3-4-5-6;").dwIpAddress, 0x0A000001u);
    // "ip = " needs its blanks: "ip=" is no key.
    EXPECT_EQ(Parse("ip=10.0.0.1;").bIpAddressValid, 0);
    // Every key in capitals, "MAC = " with its 'A' among them.
    std::string shouted(kFullResponse);
    for (char& c : shouted) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(Flags(Parse(shouted)), std::vector<uint8_t>(12, 1));
}

TEST(ParseScanResponse, NeedsEachKeyWithBothItsBlanks) {
    const std::string no_blank_after =
        "protocol version =1.2;fb type =x;module version =2.1.0;mac =1-2-3-4-5-6;ip =1.2.3.4;"
        "sn =255.0.0.0;gw =1.1.1.1;dhcp =on;pswd =on;hn =h;dns1 =1.1.1.1;dns2 =1.1.1.1;";
    const std::string no_blank_before =
        "protocol version= 1.2;fb type= x;module version= 2.1.0;mac= 1-2-3-4-5-6;ip= 1.2.3.4;"
        "sn= 255.0.0.0;gw= 1.1.1.1;dhcp= on;pswd= on;hn= h;dns1= 1.1.1.1;dns2= 1.1.1.1;";
    EXPECT_EQ(Flags(Parse(no_blank_after)), std::vector<uint8_t>(12, 0));
    EXPECT_EQ(Flags(Parse(no_blank_before)), std::vector<uint8_t>(12, 0));
}

TEST(ParseScanResponse, CutsNumbersToTheFieldWidth) {
    EXPECT_EQ(Parse("ip = 10.0.0.300;").dwIpAddress, 0x0A00002Cu);
    EXPECT_EQ(Parse("ip = -1.0.0.1;").dwIpAddress, 0xFF000001u);
    EXPECT_EQ(Parse("ip = 99999999999.0.0.1;").dwIpAddress, 0xFF000001u);
    const auto r = Parse("module version = 258.0.70000;");
    EXPECT_EQ(r.bModuleVersionMajor, 2);
    EXPECT_EQ(r.wModuleVersionBuild, 70000 & 0xFFFF);
    EXPECT_EQ(Parse("ip =  \t\n\v\f\r 7.8.9.10;").dwIpAddress, 0x0708090Au);
    EXPECT_EQ(Parse("ip = x.1.2.3;").dwIpAddress, 0x00010203u);
}

TEST(ParseScanResponse, SaturatesNumbersAtTheIntRange) {
    // Past the 32-bit range a number reads as its largest or smallest value
    // (low byte 0xFF or 0x00), however many digits it has.
    EXPECT_EQ(Parse("ip = 4294967296.0.0.1;").dwIpAddress, 0xFF000001u);
    EXPECT_EQ(Parse("ip = 99999999999999999999999.0.0.1;").dwIpAddress, 0xFF000001u);
    EXPECT_EQ(Parse("ip = -99999999999.0.0.1;").dwIpAddress, 0x00000001u);
    EXPECT_EQ(Parse("ip = -2147483648.0.0.1;").dwIpAddress, 0x00000001u);
    EXPECT_EQ(Parse("module version = 1.2.-99999999999999999999999").wModuleVersionBuild, 0);
}

TEST(ParseScanResponse, SearchesForDotsBeyondTheValueAndStopsAtTheEnd) {
    // The search for '.' runs on into the next field, as the modules' own readers do.
    EXPECT_EQ(Parse("ip = 10;sn = 1.2.3.4;").dwIpAddress, 0x0A020304u);
    // Too few dots before the end: the missing numbers read 0.
    EXPECT_EQ(Parse("ip = 10.20").dwIpAddress, 0x0A140000u);
    EXPECT_EQ(Parse("ip = 10.").dwIpAddress, 0x0A000000u);
    EXPECT_EQ(Parse("protocol version = 3").bProtocolVersionMinor, 0);
    EXPECT_EQ(Parse("ip = ").bIpAddressValid, 1);
    EXPECT_EQ(Parse("ip = ").dwIpAddress, 0u);
    // The '.' may stand right at the start of the number before it.
    EXPECT_EQ(Parse("ip = .5.6.7;").dwIpAddress, 0x00050607u);
    EXPECT_EQ(Parse("ip = 1..2.3;").dwIpAddress, 0x01000203u);
}

TEST(ParseScanResponse, ReadsOnOffValues) {
    EXPECT_EQ(Parse("dhcp = On;").bDhcpEnabled, 1);
    EXPECT_EQ(Parse("dhcp = OFF;").bDhcpEnabled, 0);
    EXPECT_EQ(Parse("dhcp = offline;").bDhcpEnabled, 0);
    EXPECT_EQ(Parse("pswd = oFf").bPswdEnabled, 0);
    EXPECT_EQ(Parse("dhcp = of;").bDhcpEnabled, 0xFF);
    const auto neither = Parse("dhcp = yes;pswd = o");
    EXPECT_EQ(neither.bDhcpValid, 1);
    EXPECT_EQ(neither.bDhcpEnabled, 0xFF);
    EXPECT_EQ(neither.bPswdValid, 1);
    EXPECT_EQ(neither.bPswdEnabled, 0xFF);
}

TEST(ParseScanResponse, ReadsTextValuesUpToTheSemicolonOrTheEnd) {
    EXPECT_STREQ(Parse("hn = ;ip = 1.2.3.4").szHostName, "");
    EXPECT_STREQ(Parse("ip = 1.2.3.4;hn = box 1").szHostName, "box 1");
    const std::string long_name(200, 'n');
    EXPECT_EQ(std::string(Parse("hn = " + long_name).szHostName), long_name.substr(0, 127));
    EXPECT_EQ(std::string(Parse("hn = " + long_name + ";dns1 = 1.1.1.1;").szHostName),
              long_name.substr(0, 127));
    EXPECT_EQ(Parse("hn = " + long_name + ";dns1 = 1.1.1.1;").bDns1Valid, 1);
}

TEST(ParseScanResponse, AnOverlongUnendedTextValueHidesTheKeysAfterIt) {
    const std::string value(150, 'f');
    const auto r = Parse("fb type = " + value + "ip = 10.0.0.1");
    EXPECT_EQ(std::string(r.szFbType), value.substr(0, 127));
    EXPECT_EQ(r.bIpAddressValid, 0);
    EXPECT_EQ(r.dwIpAddress, 0xFFFFFFFFu);
    // Keys taken earlier in the order are still read from the whole text.
    const auto earlier = Parse("fb type = " + value + "protocol version = 4.5");
    EXPECT_EQ(earlier.bProtocolVersionValid, 1);
    EXPECT_EQ(earlier.bProtocolVersionMajor, 4);
}

TEST(ParseScanResponse, EndsAnOverlongUnendedTextValueAfterItsCharacter127) {
    // A key that ends at the value's 127th character is still seen, with
    // nothing left after it to read; one character further on it is not.
    const auto seen = Parse("fb type = " + std::string(122, 'f') + "ip = 1.2.3.4");
    EXPECT_EQ(std::string(seen.szFbType), std::string(122, 'f') + "ip = ");
    EXPECT_EQ(seen.bIpAddressValid, 1);
    EXPECT_EQ(seen.dwIpAddress, 0u);
    const auto hidden = Parse("fb type = " + std::string(123, 'f') + "ip = 1.2.3.4");
    EXPECT_EQ(hidden.bIpAddressValid, 0);
}

TEST(ParseScanResponse, ReadsTheMacByTheHexPattern) {
    const auto partial = Parse("mac = 02-00-zz;");
    EXPECT_EQ(partial.bMacIdValid, 1);
    const uint8_t expected[] = {0x02, 0x00, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(std::memcmp(partial.abMacId, expected, 6), 0);
    const auto wide = Parse("mac = 0x102-0X0a- 3-4-5-fff;");
    const uint8_t cut[] = {0x02, 0x0A, 0x03, 0x04, 0x05, 0xFF};
    EXPECT_EQ(std::memcmp(wide.abMacId, cut, 6), 0);
    // A blank before '-' does not fit the pattern.
    const auto spaced = Parse("mac = 01 -02-03-04-05-06;");
    EXPECT_EQ(spaced.abMacId[0], 0x01);
    EXPECT_EQ(spaced.abMacId[1], 0xFF);
}

TEST(ParseScanResponse, ReadsEachMacNumberAsTheCLibraryReadsHex) {
    auto mac_of = [](const std::string& value) {
        const auto r = Parse("mac = " + value);
        return std::vector<uint8_t>(r.abMacId, r.abMacId + 6);
    };
    EXPECT_EQ(mac_of("0f-F0-aB-Cd-eE-9f;"),
              (std::vector<uint8_t>{0x0F, 0xF0, 0xAB, 0xCD, 0xEE, 0x9F}));
    // A sign negates; past 32 bits a number reads as 0xFFFFFFFF, whatever its sign.
    EXPECT_EQ(mac_of("-2-+3-100000000--100000000-5-6;"),
              (std::vector<uint8_t>{0xFE, 0x03, 0xFF, 0xFF, 0x05, 0x06}));
    // "0x" is a prefix only before a hex digit; otherwise the number is the 0.
    EXPECT_EQ(mac_of("0x-1-2-3-4-5;"), (std::vector<uint8_t>{0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST(ParseScanResponse, StopsReadingAMacAtTheEndOfTheDatagram) {
    const auto two = Parse("mac = 02-00");
    const uint8_t two_read[] = {0x02, 0x00, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(std::memcmp(two.abMacId, two_read, 6), 0);
    // "0x" at the very end: the number is the 0, and nothing past the end is looked at.
    const auto prefix = Parse("mac = 0x");
    const uint8_t zero_read[] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(std::memcmp(prefix.abMacId, zero_read, 6), 0);
}

TEST(ParseScanResponse, ReadsAStrayConfigureRequestAsAnAnswer) {
    const auto r = Parse(
        "Configure: 02-00-00-00-00-01;Password: pw;IP = 10.1.2.3;SN = 255.0.0.0;GW = 10.0.0.1;"
        "DHCP = ON;HN = cell;DNS1 = 9.9.9.9;DNS2 = 8.8.4.4;");
    EXPECT_EQ(r.bMacIdValid, 0);
    EXPECT_EQ(r.dwIpAddress, 0x0A010203u);
    EXPECT_EQ(r.dwSubnetMask, 0xFF000000u);
    EXPECT_EQ(r.dwGateway, 0x0A000001u);
    EXPECT_EQ(r.bDhcpEnabled, 1);
    EXPECT_STREQ(r.szHostName, "cell");
    EXPECT_EQ(r.dwDns1, 0x09090909u);
    EXPECT_EQ(r.dwDns2, 0x08080404u);
}
