// What arrives is queued once, in order, with one notification per element.
#include <cstdio>

#include "host_test.h"

namespace tolm::labtest {
namespace {

const std::string kNul(1, '\0');

using Queues = HostTest;

TEST_F(Queues, RecordsComeInArrivalOrderWithOneNotificationEach) {
    Host& host = Launch();
    SendFromModules({ResponseText("02-00-00-00-10-01", "first"),
                     ResponseText("02-00-00-00-10-02", "second"),
                     ResponseText("02-00-00-00-10-03", "third")});
    EXPECT_EQ(WaitEvents(host, 3)["codes"], "1,1,1");

    for (const char* mac : {"02-00-00-00-10-01", "02-00-00-00-10-02", "02-00-00-00-10-03"}) {
        const Reply record = host.Run("take");
        ASSERT_EQ(record["result"], "1");
        EXPECT_EQ(record["abMacId"], mac);
        EXPECT_EQ(record["bMacIdValid"], "1");
    }
    const Reply empty = host.Run("take");
    EXPECT_EQ(empty["result"], "0");
    EXPECT_EQ(empty["untouched"], "1") << "an empty take wrote into the buffer";
    EXPECT_EQ(host.Codes(), "1,1,1");
}

// The worker drains a burst in passes of a few datagrams, letting go of the
// mutex between them; none may be lost or reordered at a pass's end, nor
// wait for a later datagram to be read.
TEST_F(Queues, ABurstLongerThanOnePassIsTakenWholeAndInOrder) {
    constexpr int kBurst = 200;
    Host& host = Launch();
    std::vector<std::string> burst;
    for (int i = 0; i < kBurst; ++i) {
        char mac[32];
        std::snprintf(mac, sizeof mac, "02-00-00-00-%02X-%02X", i / 256, i % 256);
        burst.push_back(ResponseText(mac, "burst"));
    }
    SendFromModules(burst);
    EXPECT_EQ(WaitEvents(host, kBurst)["count"], std::to_string(kBurst));
    for (int i = 0; i < kBurst; ++i) {
        char mac[32];
        std::snprintf(mac, sizeof mac, "02-00-00-00-%02X-%02X", i / 256, i % 256);
        ASSERT_EQ(host.Run("take")["abMacId"], mac) << "record " << i;
    }
    EXPECT_EQ(host.Run("take")["result"], "0");
}

TEST_F(Queues, SameModuleTwiceGivesTwoRecords) {
    Host& host = Launch();
    SendFromModules(
        {ResponseText("02-00-00-00-10-01", "twice"), ResponseText("02-00-00-00-10-01", "twice")});
    EXPECT_EQ(WaitEvents(host, 2)["codes"], "1,1");
    EXPECT_EQ(host.Run("take")["abMacId"], "02-00-00-00-10-01");
    EXPECT_EQ(host.Run("take")["abMacId"], "02-00-00-00-10-01");
    EXPECT_EQ(host.Run("take")["result"], "0");
}

// Every field lands at its offset: the record's layout is shared by both
// sides of the boundary, so a mismatch shows here and not in the parser.
TEST_F(Queues, CompleteResponseCrossesTheBoundaryIntact) {
    Host& host = Launch();
    SendFromModules(
        {"protocol version = 1.7;fb type = PROFIBUS DP;module version = "
         "2.15.1000;mac = 02-00-00-00-10-0A;ip = 10.77.0.101;sn = 255.255.255.0;gw "
         "= 10.77.0.1;dhcp = on;pswd = off;hn = module-1;dns1 = 10.77.0.1;dns2 = "
         "10.77.0.2;" +
         kNul});
    WaitEvents(host, 1);
    const Reply r = host.Run("take");
    ASSERT_EQ(r["result"], "1");
    ExpectFields(r, {{"bProtocolVersionMajor", "1"},
                     {"bProtocolVersionMinor", "7"},
                     {"bProtocolVersionValid", "1"},
                     {"szFbType", "PROFIBUS\\x20DP"},
                     {"bFbTypeValid", "1"},
                     {"bModuleVersionMajor", "2"},
                     {"bModuleVersionMinor", "15"},
                     {"wModuleVersionBuild", "1000"},
                     {"bModuleVersionValid", "1"},
                     {"abMacId", "02-00-00-00-10-0A"},
                     {"bMacIdValid", "1"},
                     {"dwIpAddress", "0x0A4D0065"},
                     {"bIpAddressValid", "1"},
                     {"dwSubnetMask", "0xFFFFFF00"},
                     {"bSubnetMaskValid", "1"},
                     {"dwGateway", "0x0A4D0001"},
                     {"bGatewayValid", "1"},
                     {"bDhcpEnabled", "1"},
                     {"bDhcpValid", "1"},
                     {"bPswdEnabled", "0"},
                     {"bPswdValid", "1"},
                     {"szHostName", "module-1"},
                     {"bHostNameValid", "1"},
                     {"dwDns1", "0x0A4D0001"},
                     {"bDns1Valid", "1"},
                     {"dwDns2", "0x0A4D0002"},
                     {"bDns2Valid", "1"}});
}

TEST_F(Queues, ResponseWithoutKeysIsQueuedWithEveryFlagClear) {
    Host& host = Launch();
    SendFromModules({"nothing to see" + kNul});
    WaitEvents(host, 1);
    const Reply r = host.Run("take raw");
    ASSERT_EQ(r["result"], "1");
    for (const auto& [key, value] : r.fields) {
        if (key.size() > 5 && key.substr(key.size() - 5) == "Valid") {
            EXPECT_EQ(value, "0") << key;
        }
    }
    EXPECT_EQ(r["dwIpAddress"], "0xFFFFFFFF");
    EXPECT_EQ(r["abMacId"], "FF-FF-FF-FF-FF-FF");
}

TEST_F(Queues, ScanRequestsInAnyCaseAreIgnored) {
    Host& host = Launch();
    SendFromModules({"Module Scan" + kNul, "module scan" + kNul, "MODULE SCAN;ip = 1.2.3.4;",
                     ResponseText("02-00-00-00-10-01", "marker")});
    EXPECT_EQ(WaitEvents(host, 1)["codes"], "1");
    EXPECT_EQ(host.Run("take")["szHostName"], "marker");
    EXPECT_EQ(host.Run("take")["result"], "0");
}

TEST_F(Queues, ReconfiguredNotifiesTwoAndQueuesNothing) {
    Host& host = Launch();
    SendFromModules({ResponseText("02-00-00-00-10-01", "kept"),
                     "Invalid Password: 02-00-00-00-10-02" + kNul,
                     "Reconfigured: 02-00-00-00-10-01" + kNul, "reconfigured:" + kNul});
    EXPECT_EQ(WaitEvents(host, 4)["codes"], "1,3,2,2");
    EXPECT_EQ(host.Run("take")["szHostName"], "kept");
    EXPECT_EQ(host.Run("take")["result"], "0");
    EXPECT_EQ(host.Run("peek")["mac"], "02-00-00-00-10-02");
    EXPECT_EQ(host.Run("remove")["result"], "1");
    EXPECT_EQ(host.Run("remove")["result"], "0");
}

TEST_F(Queues, InvalidPasswordEntriesStayUntilRemovedInOrder) {
    Host& host = Launch();
    SendFromModules({"Invalid Password: 02-00-00-00-10-07" + kNul,
                     "INVALID PASSWORD: 02-00-00-00-10-08" + kNul});
    EXPECT_EQ(WaitEvents(host, 2)["codes"], "3,3");

    for (int i = 0; i < 2; ++i) {
        const Reply peek = host.Run("peek");
        EXPECT_EQ(peek["result"], "1");
        EXPECT_EQ(peek["mac"], "02-00-00-00-10-07");
    }
    EXPECT_EQ(host.Run("remove")["result"], "1");
    EXPECT_EQ(host.Run("peek")["mac"], "02-00-00-00-10-08");
    EXPECT_EQ(host.Run("remove")["result"], "1");
    EXPECT_EQ(host.Run("peek")["result"], "0");
    EXPECT_EQ(host.Run("remove")["result"], "0");
    EXPECT_EQ(host.Run("take")["result"], "0");
}

TEST_F(Queues, InvalidPasswordWithoutBlankQueuesTheBroadcastMac) {
    Host& host = Launch();
    SendFromModules({"Invalid Password:02-00-00-00-10-07" + kNul, "Invalid Password:" + kNul});
    EXPECT_EQ(WaitEvents(host, 2)["codes"], "3,3");
    for (int i = 0; i < 2; ++i) ExpectInvalidPasswordEntry(host, "FF-FF-FF-FF-FF-FF");
}

TEST_F(Queues, AnswersAreQueuedWithoutCallback) {
    Host& host = Launch("off");
    // The response last: once it is taken, the entry before it is queued.
    SendFromModules({"Invalid Password: 02-00-00-00-10-02" + kNul,
                     ResponseText("02-00-00-00-10-01", "unheard")});
    EXPECT_EQ(host.TakeWithin(kArrival)["szHostName"], "unheard");
    EXPECT_EQ(host.Run("peek")["mac"], "02-00-00-00-10-02");
    EXPECT_EQ(host.Run("events")["count"], "0");
}

TEST_F(Queues, CallbackSwitchedOffStopsNotifyingButNotQueueing) {
    Host& host = Launch();
    SendFromModules({ResponseText("02-00-00-00-10-01", "heard")});
    WaitEvents(host, 1);
    EXPECT_EQ(host.Run("callback off")["returned"], "given");
    SendFromModules({ResponseText("02-00-00-00-10-02", "unheard")});
    EXPECT_EQ(host.Run("take")["szHostName"], "heard");
    EXPECT_EQ(host.TakeWithin(kArrival)["szHostName"], "unheard");
    EXPECT_EQ(host.Codes(), "1");
}

// The callback runs with the engine's mutex held; taking from inside it
// must nest, not deadlock.
TEST_F(Queues, CallbackMayTakeInsideItself) {
    Host& host = Launch("take-in-callback");
    SendFromModules({ResponseText("02-00-00-00-10-01", "a"), ResponseText("02-00-00-00-10-02", "b"),
                     "Invalid Password: 02-00-00-00-10-03" + kNul,
                     "Reconfigured: 02-00-00-00-10-03" + kNul});
    EXPECT_EQ(WaitEvents(host, 4)["codes"], "1,1,3,2");
    const Reply inner = host.Run("inner");
    EXPECT_EQ(inner["entries"],
              "take:1:02-00-00-00-10-01,take:1:02-00-00-00-10-02,"
              "peek:1:02-00-00-00-10-03+remove:1,none");
    EXPECT_EQ(host.Run("take")["result"], "0");
    EXPECT_EQ(host.Run("peek")["result"], "0");
}

}  // namespace
}  // namespace tolm::labtest
