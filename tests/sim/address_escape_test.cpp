#include <gtest/gtest.h>

#include "address.h"
#include "escape.h"

namespace tolm::sim {
namespace {

TEST(Address, ReadsAndWritesIpv4) {
    EXPECT_EQ(ParseIpv4("192.168.0.1"), 0xC0A80001u);
    EXPECT_EQ(ParseIpv4("0.0.0.0"), 0u);
    EXPECT_EQ(ParseIpv4("255.255.255.255"), 0xFFFFFFFFu);
    EXPECT_EQ(FormatIpv4(0x0A4D0065), "10.77.0.101");
    for (const char* bad : {"", "1.2.3", "1.2.3.4.", "1.2.3.256", "1..2.3", " 1.2.3.4", "1.2.3.4 ",
                            "a.b.c.d", "0001.2.3.4", "1.2.3.-4"})
        EXPECT_FALSE(ParseIpv4(bad)) << bad;
}

TEST(Address, ReadsAndWritesMac) {
    EXPECT_EQ(ParseMac("02-00-00-00-00-01"), (Mac{2, 0, 0, 0, 0, 1}));
    EXPECT_EQ(ParseMac("a-b-c-d-e-ff"), (Mac{0xA, 0xB, 0xC, 0xD, 0xE, 0xFF}));
    EXPECT_EQ(ParseMac("00:1b:2C:3d:4E:5f"), (Mac{0, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F}));
    EXPECT_EQ(FormatMac({0xAB, 0xCD, 0xEF, 0, 1, 0x2a}), "AB-CD-EF-00-01-2A");
    for (const char* bad : {"", "02-00-00-00-00", "02-00-00-00-00-01-02", "02-00-00-00-00-100",
                            "02-00-00-00-00-0g", "02-00-00-00-00-01;", "02--00-00-00-00"})
        EXPECT_FALSE(ParseMac(bad)) << bad;
}

TEST(Address, CountsUpWithoutWrapping) {
    EXPECT_EQ(AddToIpv4(0x0A4D00FF, 1), 0x0A4D0100u);
    EXPECT_FALSE(AddToIpv4(0xFFFFFFFF, 1));
    EXPECT_EQ(AddToMac({2, 0, 0, 0, 0, 0xFF}, 2), (Mac{2, 0, 0, 0, 1, 1}));
    EXPECT_EQ(AddToMac({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE}, 1),
              (Mac{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_FALSE(AddToMac({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, 1));
}

TEST(Escape, DecodesCEscapesWithEmbeddedNuls) {
    EXPECT_EQ(DecodeEscapes("Module Scan\\0"), std::string("Module Scan\0", 12));
    EXPECT_EQ(DecodeEscapes("a\\0001"), std::string("a\0"
                                                    "001",
                                                    5));  // \0 is never octal
    EXPECT_EQ(DecodeEscapes("\\\\ \\\" \\' \\n\\r\\t\\x41\\xfF"), "\\ \" ' \n\r\tA\xff");
    for (const char* bad : {"\\", "\\q", "\\x", "\\x4", "\\x4g"})
        EXPECT_THROW(DecodeEscapes(bad), std::invalid_argument) << bad;
}

TEST(Escape, DecodesHexPairs) {
    EXPECT_EQ(DecodeHex("4D6f 00 ff"), std::string("Mo\0\xff", 4));
    EXPECT_EQ(DecodeHex(""), "");
    EXPECT_THROW(DecodeHex("4"), std::invalid_argument);
    EXPECT_THROW(DecodeHex("4 D"), std::invalid_argument);
    EXPECT_THROW(DecodeHex("zz"), std::invalid_argument);
}

TEST(Escape, LogFormIsOneLineAndReadsBackExactly) {
    std::string every_byte;
    for (int byte = 0; byte < 256; ++byte) every_byte += static_cast<char>(byte);
    const std::string line = EscapeBytes(every_byte);
    EXPECT_EQ(line.find('\n'), std::string::npos);
    EXPECT_EQ(DecodeEscapes(line), every_byte);
    EXPECT_EQ(EscapeBytes(std::string("ip = 1\\\0\n", 9)), "ip = 1\\\\\\x00\\x0A");
}

}  // namespace
}  // namespace tolm::sim
