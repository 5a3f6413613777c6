// The pure helpers the figures rest on: a stamp that does not survive the
// library's parser or a percentile off by one rank would print plausible but
// wrong numbers.
#include <gtest/gtest.h>

#include <cstring>

#include "options.h"
#include "percentile.h"
#include "protocol/messages.h"
#include "stamp.h"

namespace tolm::bench {
namespace {

TEST(Stamp, SurvivesTheLibrarysParserWithEveryFieldOfAFullAnswer) {
    const std::int64_t stamp = 1'733'580'000'123'456'789;
    const std::string text = ComposeStampedAnswer(0x012345, stamp);
    const TOLM_ModuleScanResponseType record = protocol::ParseScanResponse(text);
    EXPECT_EQ(StampOf(record), stamp);
    const std::uint8_t mac[] = {0x02, 0x00, 0x00, 0x01, 0x23, 0x45};
    EXPECT_EQ(record.bMacIdValid, 1);
    EXPECT_EQ(std::memcmp(record.abMacId, mac, sizeof mac), 0);
    EXPECT_EQ(record.dwIpAddress, 0x0A4D0065u);
    EXPECT_EQ(record.bDns2Valid, 1);
    EXPECT_EQ(protocol::Classify(text), protocol::DatagramKind::kScanResponse);
}

TEST(Stamp, IsRefusedUnlessTheHostNameIsAPlainNumber) {
    TOLM_ModuleScanResponseType record = protocol::ParseScanResponse("hn = 12x4;");
    EXPECT_FALSE(StampOf(record));
    record = protocol::ParseScanResponse("hn = ;");
    EXPECT_FALSE(StampOf(record));
    record = protocol::ParseScanResponse("hn = 12345678901234567890;");  // past 63 bits
    EXPECT_FALSE(StampOf(record));
    record = protocol::ParseScanResponse("ip = 10.0.0.1;");  // no host name: 0xFF bytes
    EXPECT_FALSE(StampOf(record));
    record = protocol::ParseScanResponse("hn = 42;");
    EXPECT_EQ(StampOf(record), 42);
}

TEST(Percentile, TakesTheNearestRank) {
    std::vector<std::int64_t> values;
    for (std::int64_t v = 1; v <= 1000; ++v) values.push_back(v);
    EXPECT_EQ(Percentile(values, 50), 500);
    EXPECT_EQ(Percentile(values, 99), 990);
    EXPECT_EQ(Percentile(values, 100), 1000);
    const std::vector<std::int64_t> ten = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    EXPECT_EQ(Percentile(ten, 99), 10);
    EXPECT_EQ(Percentile(ten, 50), 5);
    EXPECT_EQ(Percentile({7}, 1), 7);
}

std::optional<HostOptions> Parse(std::vector<const char*> args, std::string* error) {
    args.insert(args.begin(), "tolm-bench-host");
    return ParseHostOptions(static_cast<int>(args.size()), args.data(), error);
}

TEST(HostOptions, ReadsEachModesOptions) {
    std::string error;
    auto options = Parse({"latency", "--library", "x.so", "--answers", "2000", "--warmup", "0",
                          "--ready-file", "/tmp/r"},
                         &error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->mode, Mode::kLatency);
    EXPECT_EQ(options->answers, 2000);
    EXPECT_EQ(options->warmup, 0);
    EXPECT_EQ(options->ready_file, "/tmp/r");
    options = Parse({"idle", "--library", "tolm.dll", "--seconds", "2.5"}, &error);
    ASSERT_TRUE(options) << error;
    EXPECT_DOUBLE_EQ(options->seconds, 2.5);
    options = Parse({"burst", "--library", "x", "--modules", "1000", "--settle-ms", "500"}, &error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->modules, 1000);
    EXPECT_EQ(options->settle_ms, 500);
}

TEST(HostOptions, RefusesWhatItCannotRun) {
    std::string error;
    EXPECT_FALSE(Parse({"idle"}, &error));
    EXPECT_NE(error.find("--library"), std::string::npos);
    EXPECT_FALSE(Parse({"sleep", "--library", "x"}, &error));
    EXPECT_FALSE(Parse({"burst", "--library", "x", "--modules"}, &error));
    EXPECT_FALSE(Parse({"latency", "--library", "x", "--answers", "0"}, &error));
    EXPECT_FALSE(Parse({"latency", "--library", "x", "--answers", "12k"}, &error));
    EXPECT_FALSE(Parse({"idle", "--library", "x", "--seconds", "-1"}, &error));
    EXPECT_FALSE(Parse({"idle", "--library", "x", "--verbose", "1"}, &error));
}

}  // namespace
}  // namespace tolm::bench
