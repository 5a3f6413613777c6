#include <gtest/gtest.h>

#include <string>

#include "exact_buffer.h"
#include "protocol/messages.h"

using tolm::protocol::Classify;
using tolm::protocol::DatagramKind;
using tolm::protocol::DatagramText;

TEST(DatagramText, EndsAtFirstNulOrAtTheEnd) {
    const std::string with_nul("ip = 1.2.3.4\0mac = 01-02", 24);
    EXPECT_EQ(DatagramText(with_nul.data(), with_nul.size()), "ip = 1.2.3.4");
    const ExactBuffer without_nul("hn = box");
    EXPECT_EQ(DatagramText(without_nul.data(), without_nul.size()), "hn = box");
    const std::string only_nul(1, '\0');
    EXPECT_EQ(DatagramText(only_nul.data(), 1), "");
}

TEST(Classify, SortsByTheBeginningIgnoringCase) {
    EXPECT_EQ(Classify("Reconfigured: 02-00-00-00-00-01"), DatagramKind::kReconfigured);
    EXPECT_EQ(Classify("RECONFIGURED:"), DatagramKind::kReconfigured);
    EXPECT_EQ(Classify("Invalid Password: 02-00-00-00-00-01"), DatagramKind::kInvalidPassword);
    EXPECT_EQ(Classify("invalid password:"), DatagramKind::kInvalidPassword);
    EXPECT_EQ(Classify("Module Scan"), DatagramKind::kScanRequest);
    EXPECT_EQ(Classify("module scan"), DatagramKind::kScanRequest);
    EXPECT_EQ(Classify("MODULE SCANNER"), DatagramKind::kScanRequest);
}

TEST(Classify, NeedsEachLiteralWhole) {
    EXPECT_EQ(Classify("Reconfigured"), DatagramKind::kScanResponse);
    EXPECT_EQ(Classify("Invalid Password"), DatagramKind::kScanResponse);
    EXPECT_EQ(Classify("Module Sca"), DatagramKind::kScanResponse);
    EXPECT_EQ(Classify(" Module Scan"), DatagramKind::kScanResponse);
    EXPECT_EQ(Classify(""), DatagramKind::kScanResponse);
}

TEST(Classify, RecognisesConfigureRequestsInAnyCase) {
    EXPECT_EQ(Classify("Configure: 02-00-00-00-00-01;HN = ;"), DatagramKind::kConfigureRequest);
    EXPECT_EQ(Classify("CONFIGURE:"), DatagramKind::kConfigureRequest);
    EXPECT_EQ(Classify("configure:ip = 10.0.0.1;"), DatagramKind::kConfigureRequest);
    EXPECT_EQ(Classify("Configure"), DatagramKind::kScanResponse);
    EXPECT_EQ(Classify("Configure 02-00-00-00-00-01;"), DatagramKind::kScanResponse);
    EXPECT_EQ(Classify("ip = 10.0.0.1; Configure: 02-00-00-00-00-01;"),
              DatagramKind::kScanResponse);
    const ExactBuffer cut("Configure");
    EXPECT_EQ(Classify(cut.view()), DatagramKind::kScanResponse);
}

TEST(Classify, TreatsAnythingElseAsAScanResponse) {
    EXPECT_EQ(Classify("ip = 10.0.0.1;"), DatagramKind::kScanResponse);
    const ExactBuffer short_text("Rec");
    EXPECT_EQ(Classify(short_text.view()), DatagramKind::kScanResponse);
}
