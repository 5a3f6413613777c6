#include "text_escape.h"

#include <gtest/gtest.h>

namespace tolm::host {
namespace {

TEST(TextEscape, KeepsPrintablesAndEscapesBlanksBackslashesAndControls) {
    const std::string bytes("a b\\c\x00\xFF=", 8);
    EXPECT_EQ(Escape(bytes), "a\\x20b\\\\c\\x00\\xFF=");
}

TEST(TextEscape, UnescapeRoundTripsEveryByte) {
    std::string all;
    for (int byte = 0; byte < 256; ++byte) all += static_cast<char>(byte);
    EXPECT_EQ(Unescape(Escape(all)), all);
}

TEST(TextEscape, UnescapeRejectsBrokenSequences) {
    EXPECT_FALSE(Unescape("abc\\"));
    EXPECT_FALSE(Unescape("\\x4"));
    EXPECT_FALSE(Unescape("\\xG0"));
    EXPECT_FALSE(Unescape("\\n"));
    EXPECT_EQ(Unescape("\\x4d\\x4D"), "MM");
}

TEST(TextEscape, HexDumpWritesTwoUpperCaseDigitsPerByte) {
    const unsigned char bytes[] = {0x00, 0x0A, 0xFF, 0x4D};
    EXPECT_EQ(HexDump(bytes, sizeof bytes), "000AFF4D");
}

}  // namespace
}  // namespace tolm::host
