// The adapter extensions in a lab of two segments, one behind each of the
// tool side's links tl0 (10.77.0.0/24) and tl1 (10.77.1.0/24), one
// simulated module on each: the limited broadcast reaches only the segment
// of the default route, the directed broadcasts reach both, and every
// answer tells the adapter it arrived on.
#include <map>

#include "host_test.h"

namespace tolm::labtest {
namespace {

const char kFirstSegment[] = "02-00-00-00-0A-01";
const char kSecondSegment[] = "02-00-00-00-0B-01";

class Adapters : public HostTest {
  protected:
    // Waits for count more answers, then takes every queued one by MAC.
    std::map<std::string, Reply> Answers(Host& host, long long before, int count) {
        EXPECT_EQ(WaitEvents(host, static_cast<int>(before) + count)["result"], "1");
        // Anything beyond count would come now.
        WaitEvents(host, static_cast<int>(before) + count + 1, kQuietPeriod);
        std::map<std::string, Reply> answers;
        for (Reply r = host.Run("take-origin"); r["result"] == "1"; r = host.Run("take-origin"))
            answers.emplace(r["abMacId"], r);
        return answers;
    }
};

TEST_F(Adapters, ListsEachLinkWithItsDirectedBroadcast) {
    Host& host = Launch("on", false);
    const Reply adapters = host.Run("adapters");
    EXPECT_EQ(adapters["result"], "2");
    const std::string& list = adapters["list"];
    EXPECT_NE(list.find("tl0:10.77.0.1/255.255.255.0/10.77.0.255:"), std::string::npos) << list;
    EXPECT_NE(list.find("tl1:10.77.1.1/255.255.255.0/10.77.1.255:"), std::string::npos) << list;
}

TEST_F(Adapters, ScanThroughEveryAdapterFindsBothSegments) {
    Host& host = Launch();
    EXPECT_EQ(host.Run("scan-via all")["result"], "2");
    const auto answers = Answers(host, 0, 2);
    ASSERT_EQ(answers.size(), 2u);
    ExpectFields(
        answers.at(kFirstSegment),
        {{"adapter", "tl0"}, {"sender", "10.77.0.11"}, {"port", "3250"}, {"reserved", "0"}});
    ExpectFields(
        answers.at(kSecondSegment),
        {{"adapter", "tl1"}, {"sender", "10.77.1.12"}, {"port", "3250"}, {"reserved", "0"}});
    EXPECT_NE(answers.at(kFirstSegment)["index"], "0");
    EXPECT_NE(answers.at(kFirstSegment)["index"], answers.at(kSecondSegment)["index"]);
}

TEST_F(Adapters, ScanThroughOneAdapterReachesOnlyItsSegment) {
    Host& host = Launch();
    EXPECT_EQ(host.Run("scan-via tl1")["result"], "1");
    const auto answers = Answers(host, 0, 1);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers.begin()->first, kSecondSegment);
    EXPECT_EQ(host.Run("scan-via tl7")["result"], "0") << "an adapter that does not exist";
}

TEST_F(Adapters, LimitedBroadcastLeavesThroughOneAdapterOnly) {
    Host& host = Launch();
    EXPECT_EQ(host.Run("scan")["result"], "1");
    const auto answers = Answers(host, 0, 1);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers.begin()->second["adapter"], "tl0");
}

TEST_F(Adapters, ConfigureThroughTheModulesAdapterIsAnswered) {
    Host& host = Launch();
    const std::string fields = std::string(" mac=") + kSecondSegment + " hn=renamed";
    EXPECT_EQ(host.Run("configure-via tl0" + fields)["result"], "1");
    EXPECT_EQ(WaitEvents(host, 1, kQuietPeriod)["result"], "0") << "heard on the wrong segment";
    EXPECT_EQ(host.Run("configure-via tl1" + fields)["result"], "1");
    EXPECT_EQ(WaitEvents(host, 1)["codes"], "2");
    EXPECT_EQ(host.Run("scan-via tl1")["result"], "1");
    EXPECT_EQ(Answers(host, 1, 1).at(kSecondSegment)["szHostName"], "renamed");
    EXPECT_EQ(host.Run("configure-via all" + fields.substr(0, fields.find(" hn")) +
                       " hn=module-1")["result"],
              "2");
}

}  // namespace
}  // namespace tolm::labtest
