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
    EXPECT_EQ(Classify("Reconfigured: 02-00-00-00-00-01"), DatagramKind::reconfigured);
    EXPECT_EQ(Classify("RECONFIGURED:"), DatagramKind::reconfigured);
    EXPECT_EQ(Classify("Invalid Password: 02-00-00-00-00-01"), DatagramKind::invalid_password);
    EXPECT_EQ(Classify("invalid password:"), DatagramKind::invalid_password);
    EXPECT_EQ(Classify("Module Scan"), DatagramKind::scan_request);
    EXPECT_EQ(Classify("module scan"), DatagramKind::scan_request);
    EXPECT_EQ(Classify("MODULE SCANNER"), DatagramKind::scan_request);
}

TEST(Classify, NeedsEachLiteralWhole) {
    EXPECT_EQ(Classify("Reconfigured"), DatagramKind::scan_response);
    EXPECT_EQ(Classify("Invalid Password"), DatagramKind::scan_response);
    EXPECT_EQ(Classify("Module Sca"), DatagramKind::scan_response);
    EXPECT_EQ(Classify(" Module Scan"), DatagramKind::scan_response);
    EXPECT_EQ(Classify(""), DatagramKind::scan_response);
}

TEST(Classify, RecognisesConfigureRequestsInAnyCase) {
    EXPECT_EQ(Classify("Configure: 02-00-00-00-00-01;HN = ;"), DatagramKind::configure_request);
    EXPECT_EQ(Classify("CONFIGURE:"), DatagramKind::configure_request);
    EXPECT_EQ(Classify("configure:ip = 10.0.0.1;"), DatagramKind::configure_request);
    EXPECT_EQ(Classify("Configure"), DatagramKind::scan_response);
    EXPECT_EQ(Classify("Configure 02-00-00-00-00-01;"), DatagramKind::scan_response);
    EXPECT_EQ(Classify("ip = 10.0.0.1; Configure: 02-00-00-00-00-01;"),
              DatagramKind::scan_response);
    const ExactBuffer cut("Configure");
    EXPECT_EQ(Classify(cut.view()), DatagramKind::scan_response);
}

TEST(Classify, TreatsAnythingElseAsAScanResponse) {
    EXPECT_EQ(Classify("ip = 10.0.0.1;"), DatagramKind::scan_response);
    const ExactBuffer short_text("Rec");
    EXPECT_EQ(Classify(short_text.view()), DatagramKind::scan_response);
}
