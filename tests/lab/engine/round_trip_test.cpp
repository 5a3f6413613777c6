// Scan and configure against the simulator's modules (modules.conf): the
// library's requests must be understood and their answers reported.
#include "host_test.h"

namespace tolm::labtest {
namespace {

const char kOpen[] = "02-00-00-00-00-01";
const char kLocked[] = "02-00-00-00-00-02";

class RoundTrip : public HostTest {
  protected:
    // Scans and returns the modules' records by MAC.
    std::map<std::string, Reply> Scan(Host& host) {
        const long long before = host.Run("events").Number("count");
        EXPECT_EQ(host.Run("scan")["result"], "1");
        EXPECT_EQ(WaitEvents(host, static_cast<int>(before) + 2)["result"], "1");
        std::map<std::string, Reply> modules;
        for (Reply record = host.Run("take"); record["result"] == "1"; record = host.Run("take")) {
            EXPECT_EQ(record["bMacIdValid"], "1") << "an answer without a MAC";
            modules.emplace(record["abMacId"], record);
        }
        return modules;
    }

    // Sends a configure request and returns the codes it brought: the
    // module's answer alone, its own echo being dropped. Nothing is queued.
    std::string Configure(Host& host, const std::string& fields) {
        const long long before = host.Run("events").Number("count");
        EXPECT_EQ(host.Run("configure " + fields)["result"], "1");
        const std::string all = WaitEvents(host, static_cast<int>(before) + 1)["codes"];
        std::string codes;
        for (std::size_t i = static_cast<std::size_t>(before) * 2; i < all.size(); i += 2)
            codes += all[i];
        EXPECT_EQ(host.Run("take")["result"], "0") << "a configure request was queued";
        return codes;
    }
};

TEST_F(RoundTrip, ScanFindsEveryModuleWithItsSettings) {
    Host& host = Launch();
    const auto modules = Scan(host);
    ASSERT_EQ(modules.size(), 2u);
    ExpectFields(modules.at(kOpen), {{"dwIpAddress", "0x0A4D0065"},
                                     {"dwSubnetMask", "0xFFFFFF00"},
                                     {"dwGateway", "0x0A4D0001"},
                                     {"szHostName", "open-1"},
                                     {"bPswdEnabled", "0"},
                                     {"szFbType", "PROFIBUS\\x20DP"},
                                     {"wModuleVersionBuild", "1000"}});
    ExpectFields(modules.at(kLocked),
                 {{"dwIpAddress", "0x0A4D0066"}, {"bPswdEnabled", "1"}, {"bPswdValid", "1"}});
}

TEST_F(RoundTrip, ConfigureIsAppliedAndShownByTheNextScan) {
    Host& host = Launch();
    EXPECT_EQ(Configure(host, std::string("mac=") + kOpen + " ip=10.77.0.150 hn=renamed"), "2");
    const auto modules = Scan(host);
    ASSERT_EQ(modules.count(kOpen), 1u);
    ExpectFields(modules.at(kOpen), {{"dwIpAddress", "0x0A4D0096"}, {"szHostName", "renamed"}});
    EXPECT_EQ(Configure(host, std::string("mac=") + kOpen + " ip=10.77.0.101 hn=open-1"), "2");
}

TEST_F(RoundTrip, WrongPasswordIsRefusedWithTheModulesMac) {
    Host& host = Launch();
    for (const std::string password : {" pw=wrong", ""}) {
        EXPECT_EQ(Configure(host, std::string("mac=") + kLocked + password + " ip=10.77.0.160"),
                  "3");
        ExpectInvalidPasswordEntry(host, kLocked);
    }
    EXPECT_EQ(Scan(host).at(kLocked)["dwIpAddress"], "0x0A4D0066");

    EXPECT_EQ(Configure(host, std::string("mac=") + kLocked + " pw=secret hn=unlocked"), "2");
    EXPECT_EQ(Scan(host).at(kLocked)["szHostName"], "unlocked");
    EXPECT_EQ(Configure(host, std::string("mac=") + kLocked + " pw=secret hn=locked-2"), "2");
}

}  // namespace
}  // namespace tolm::labtest
