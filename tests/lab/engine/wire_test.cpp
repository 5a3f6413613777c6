// What the library puts on the wire, byte for byte, as the simulator's log
// shows it (the trailing NUL reads \x00). The simulator in this run owns
// none of the MACs used here, so it answers no configure request.
#include "host_test.h"

namespace tolm::labtest {
namespace {

using Wire = HostTest;

// Configures the module, expects the send to succeed and returns the
// request as logged.
std::string SentRequest(Host& host, const std::string& mac, const std::string& fields) {
    const SimLog log;
    EXPECT_EQ(host.Run("configure mac=" + mac + " " + fields)["result"], "1") << fields;
    const auto line = log.WaitForLine("Configure: " + mac + ";", kArrival);
    if (!line) ADD_FAILURE() << "no request for " << mac << " reached the module side";
    return line.value_or("");
}

TEST_F(Wire, ScanRequestIsModuleScanAndItsNul) {
    Host& host = Launch("off");
    const SimLog log;
    EXPECT_EQ(host.Run("scan")["result"], "1");
    EXPECT_EQ(log.WaitForLine("Module Scan", kArrival).value_or("none"), "Module Scan\\x00");
}

TEST_F(Wire, MinimalConfigureRequestIsTwoPieces) {
    Host& host = Launch("off");
    EXPECT_EQ(SentRequest(host, "02-00-00-00-00-01", ""),
              "Configure: 02-00-00-00-00-01;HN = ;\\x00");
}

TEST_F(Wire, EveryPieceIsSentInOrder) {
    Host& host = Launch("off");
    EXPECT_EQ(SentRequest(host, "0A-1B-2C-3D-4E-5F",
                          "pw=old newpw=new ip=10.0.0.5 sn=255.255.255.0 gw=10.0.0.1 dhcp=1 "
                          "hn=host\\x20one dns1=8.8.8.8 dns2=0.0.0.0"),
              "Configure: 0A-1B-2C-3D-4E-5F;Password: old;New Password = new;IP = 10.0.0.5;"
              "SN = 255.255.255.0;GW = 10.0.0.1;DHCP = ON;HN = host one;DNS1 = 8.8.8.8;"
              "DNS2 = 0.0.0.0;\\x00");
}

TEST_F(Wire, PiecesFollowTheirOwnFlags) {
    Host& host = Launch("off");
    EXPECT_EQ(SentRequest(host, "02-00-00-00-00-02", "newpw= dhcp=0 gw=0.0.0.0"),
              "Configure: 02-00-00-00-00-02;New Password = ;GW = 0.0.0.0;DHCP = OFF;HN = ;\\x00");
    EXPECT_EQ(SentRequest(host, "02-00-00-00-00-03", "newpw=ignored change=2 dhcp=255"),
              "Configure: 02-00-00-00-00-03;HN = ;\\x00");
}

// Longest texts that fit: a piece of 99 characters and a password of 88.
TEST_F(Wire, LongestPiecesAreSentWhole) {
    Host& host = Launch("off");
    const std::string host_name(93, 'h');
    const std::string password(88, 'p');
    EXPECT_EQ(
        SentRequest(host, "02-00-00-00-00-04", "pw=" + password + " hn=" + host_name),
        "Configure: 02-00-00-00-00-04;Password: " + password + ";HN = " + host_name + ";\\x00");
}

// Refused requests send nothing: a request sent after them is the next
// configure request the module side sees.
TEST_F(Wire, TooLongRequestsAreRefusedAndNothingIsSent) {
    Host& host = Launch("off");
    const SimLog log;
    const std::string too_long[] = {
        "hn=" + std::string(94, 'h'), "pw=" + std::string(89, 'p'), "newpw=" + std::string(84, 'n'),
        // Every piece fits, but together they pass 399 characters.
        "pw=" + std::string(88, 'p') + " newpw=" + std::string(83, 'n') +
            " hn=" + std::string(93, 'h') +
            " ip=255.255.255.254 sn=255.255.255.254 gw=255.255.255.254"
            " dhcp=0 dns1=255.255.255.254 dns2=255.255.255.254"};
    for (const auto& fields : too_long)
        EXPECT_EQ(host.Run("configure mac=02-00-00-00-00-05 " + fields)["result"], "0")
            << fields.substr(0, 12);
    EXPECT_EQ(host.Run("configure mac=02-00-00-00-00-06")["result"], "1");
    const auto sentinel = log.WaitForLine("Configure: 02-00-00-00-00-06;", kArrival);
    ASSERT_TRUE(sentinel) << "the request after the refused ones never arrived";
    for (const auto& line : log.NewLines())
        EXPECT_EQ(line.find("02-00-00-00-00-05"), std::string::npos) << line.substr(0, 60);
}

// The library hears its own broadcast request back; it is no module's
// answer. The scan after it is the sync point: its answer must be the first
// and only notification.
TEST_F(Wire, OwnConfigureRequestComingBackIsDropped) {
    Host& host = Launch();
    const SimLog log;
    EXPECT_EQ(
        host.Run(
            "configure mac=02-00-00-00-00-07 ip=10.0.0.5 dhcp=1 hn=echo dns2=1.2.3.4")["result"],
        "1");
    ASSERT_TRUE(log.WaitForLine("Configure: 02-00-00-00-00-07;", kArrival));
    EXPECT_EQ(host.Run("scan")["result"], "1");
    EXPECT_EQ(WaitEvents(host, 1)["codes"], "1");
    ExpectFields(host.Run("take"), {{"bMacIdValid", "1"}, {"abMacId", "02-00-00-00-AA-01"}});
    EXPECT_EQ(host.Run("take")["result"], "0");
    EXPECT_EQ(host.Run("events")["count"], "1");
}

}  // namespace
}  // namespace tolm::labtest
