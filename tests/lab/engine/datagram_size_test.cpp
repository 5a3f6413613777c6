// The receive buffer holds 1500 bytes: a datagram of that size is read
// whole, a longer one is dropped, an empty one is skipped.
#include "host_test.h"

namespace tolm::labtest {
namespace {

// A datagram of exactly size bytes whose host name ends at its last byte,
// so a reader that cuts even one byte short shows it.
std::string DatagramEndingInHostName(std::size_t size) {
    const std::string tail = "hn = tail";
    return std::string(size - tail.size(), 'A') + tail;
}

using DatagramSize = HostTest;

TEST_F(DatagramSize, OversizedDatagramIsDroppedAndFullSizeOneRead) {
    Host& host = Launch();
    SendFromModules({DatagramEndingInHostName(1501), DatagramEndingInHostName(1500),
                     ResponseText("02-00-00-00-10-01", "marker")});
    EXPECT_EQ(WaitEvents(host, 2)["codes"], "1,1");
    const Reply full = host.Run("take");
    EXPECT_EQ(full["szHostName"], "tail");
    EXPECT_EQ(full["bHostNameValid"], "1");
    EXPECT_EQ(host.Run("take")["szHostName"], "marker");
    EXPECT_EQ(host.Run("take")["result"], "0");
    EXPECT_EQ(host.Codes(), "1,1");
}

TEST_F(DatagramSize, FarOversizedDatagramsAreDropped) {
    Host& host = Launch();
    SendOptionsFromModules({"--send-size", "8000", "--send-size", "1600"});
    SendFromModules({ResponseText("02-00-00-00-10-01", "marker")});
    EXPECT_EQ(WaitEvents(host, 1)["codes"], "1");
    EXPECT_EQ(host.Run("take")["szHostName"], "marker");
    EXPECT_EQ(host.Run("take")["result"], "0");
}

TEST_F(DatagramSize, EmptyDatagramIsSkippedWithoutStallingLaterOnes) {
    Host& host = Launch();
    SendFromModules({"", "", ResponseText("02-00-00-00-10-01", "after-empty"), "",
                     ResponseText("02-00-00-00-10-02", "last")});
    EXPECT_EQ(WaitEvents(host, 2)["codes"], "1,1");
    EXPECT_EQ(host.Run("take")["szHostName"], "after-empty");
    EXPECT_EQ(host.Run("take")["szHostName"], "last");
    EXPECT_EQ(host.Run("take")["result"], "0");
}

// A datagram whose first byte is NUL is not empty: it is an empty text,
// parsed as a response without keys.
TEST_F(DatagramSize, LeadingNulGivesAResponseWithoutKeys) {
    Host& host = Launch();
    SendFromModules({std::string("\0hn = hidden;", 13)});
    EXPECT_EQ(WaitEvents(host, 1)["codes"], "1");
    const Reply r = host.Run("take");
    EXPECT_EQ(r["bHostNameValid"], "0");
}

}  // namespace
}  // namespace tolm::labtest
