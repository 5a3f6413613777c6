// What check finds on a network and against a plan, and which requests may
// be in flight together so that every confirmation can be told apart.
#include "cli/checks/plan_checks.h"

#include <gtest/gtest.h>

#include <cstring>

#include "cli/checks/address_handover.h"
#include "cli/delivery/confirmation_schedule.h"
#include "record_builder.h"

namespace tolm::linkora {
namespace {

constexpr std::uint32_t kNet = 0x0A4D0000;  // 10.77.0.0
constexpr std::uint32_t kMask24 = 0xFFFFFF00;

Answer Module(std::uint8_t last, std::uint32_t ip, std::uint32_t mask = kMask24,
              std::uint32_t gateway = kNet | 1, const std::string& host = "") {
    Answer a = MakeAnswer(last, ip);
    a.record.dwIpAddress = ip;
    a.record.bIpAddressValid = 1;
    a.record.dwSubnetMask = mask;
    a.record.bSubnetMaskValid = 1;
    a.record.dwGateway = gateway;
    a.record.bGatewayValid = 1;
    a.record.bDhcpEnabled = 0;
    a.record.bDhcpValid = 1;
    SetText(a.record.szHostName, a.record.bHostNameValid,
            host.empty() ? "m_" + std::to_string(last) : host);
    a.adapter = "tl0";
    a.sender = kNet | 11;
    return a;
}

TOLM_AdapterType Adapter(const char* name, std::uint32_t address, std::uint32_t mask) {
    TOLM_AdapterType a;
    std::memset(&a, 0, sizeof a);
    std::strcpy(a.szName, name);
    a.dwAddress = address;
    a.dwSubnetMask = mask;
    return a;
}

PlannedModule Planned(std::uint8_t last, std::optional<std::uint32_t> ip, int line) {
    PlannedModule p;
    p.mac = {0x02, 0, 0, 0, 0, last};
    p.settings.ip = ip;
    p.where.line = line;
    return p;
}

// "kind severity mac..." per finding.
std::vector<std::string> Kinds(const std::vector<Finding>& findings) {
    std::vector<std::string> out;
    for (const Finding& f : findings) {
        std::string line = f.kind + " " + SeverityName(f.severity);
        for (const std::string& mac : f.macs) line += " " + mac.substr(15);
        out.push_back(line);
    }
    return out;
}

TEST(PlanChecks, FindsWhatIsWrongOnTheNetwork) {
    ScanView scan;
    scan.adapters = {Adapter("tl0", kNet | 1, kMask24)};
    scan.modules = {Module(1, kNet | 101),
                    Module(2, kNet | 101, kMask24, kNet | 1, "M_1"),
                    Module(3, kNet | 103, 0xFF00FF00),
                    Module(4, 0),
                    Module(5, kNet | 255),
                    Module(6, kNet | 106, kMask24, 0x0A010101),
                    Module(7, 0xC0A80965, kMask24, 0xC0A80901),
                    Module(8, kNet | 108, 0xFFFF0000, 0)};
    Answer twin = scan.modules[0];
    twin.sender = kNet | 12;
    scan.conflicts = {Conflict{{scan.modules[0], twin}}};
    // DHCP on: 0.0.0.0 is an address still to come.
    Answer waiting = Module(9, 0);
    waiting.record.bDhcpEnabled = 1;
    scan.modules.push_back(waiting);
    EXPECT_EQ(
        Kinds(CheckModules(scan, nullptr)),
        (std::vector<std::string>{"conflicting-answers error 01", "bad-mask error 03",
                                  "zero-address error 04", "network-or-broadcast-address error 05",
                                  "duplicate-ip error 01 02", "gateway-outside-subnet warning 06",
                                  "unreachable warning 07", "duplicate-host-name warning 01 02"}));
    scan.adapters.clear();
    scan.conflicts.clear();
    scan.modules = {Module(1, kNet | 101)};
    EXPECT_TRUE(CheckModules(scan, nullptr).empty());
}

TEST(PlanChecks, JudgesEachModuleAsThePlanLeavesIt) {
    ScanView scan;
    scan.adapters = {Adapter("tl0", kNet | 1, kMask24)};
    Answer bad_mask = Module(3, kNet | 103, 0xFF00FF00);
    Answer nameless = Module(4, kNet | 104);
    nameless.record.bHostNameValid = 0;
    scan.modules = {Module(1, kNet | 101), Module(2, kNet | 102), bad_mask, nameless,
                    Module(5, kNet | 105), Module(6, kNet | 106)};
    Plan plan;
    plan.modules = {
        Planned(1, kNet | 102, 2),  // takes 2's address while 2 moves on
        Planned(2, kNet | 120, 3),  Planned(3, std::nullopt, 4),
        Planned(4, kNet | 140, 5),                              // no host name to send again
        Planned(5, kNet | 106, 6),                              // 6 keeps that address
        Planned(7, kNet | 150, 7),  Planned(8, kNet | 150, 8),  // the same address twice
        Planned(7, std::nullopt, 9)};
    plan.modules[2].settings.subnet_mask = kMask24;  // mends the mask
    plan.modules[0].settings.gateway = 0x0A010101;
    EXPECT_EQ(Kinds(CheckModules(scan, &plan)),
              (std::vector<std::string>{
                  "duplicate-mac error 07", "address-taken error 05 06",
                  "duplicate-planned-ip error 07 08", "host-name-needed error 04",
                  "plans-nothing warning 07", "gateway-outside-subnet warning 01", "unexpected warning 06",
                  "missing warning 07", "missing warning 08", "differs info 01", "differs info 01",
                  "differs info 02", "differs info 03", "differs info 04", "differs info 05"}));
}

ModuleSender SenderAt(std::uint8_t last, std::uint32_t sender,
                      std::optional<std::uint32_t> new_ip = std::nullopt) {
    Answer a = MakeAnswer(last, sender);
    a.sender = sender;
    return {a, new_ip};
}

ReplyFrom Reply(std::uint32_t sender, std::optional<std::uint8_t> mac_last) {
    ReplyFrom reply;
    reply.code = TOLM_NOTIFY_RECONFIGURED;
    reply.sender = sender;
    if (mac_last) reply.mac = client::Mac{0x02, 0, 0, 0, 0, *mac_last};
    return reply;
}

TEST(ConfirmationSchedule, KeepsRequestsApartUntilTheirRepliesCanBeToldApart) {
    // Three modules behind one sender: one at a time until its replies name MACs.
    ConfirmationSchedule shared({SenderAt(1, 7), SenderAt(2, 7), SenderAt(3, 7)}, 64);
    EXPECT_EQ(shared.Next(), (std::vector<std::size_t>{0}));
    EXPECT_TRUE(shared.Next().empty());
    EXPECT_FALSE(shared.Whose(Reply(7, 2))) << "names a MAC not in flight";
    EXPECT_FALSE(shared.Whose(Reply(8, 1))) << "another sender";
    ASSERT_EQ(shared.Whose(Reply(7, 1)), 0u);
    shared.Done(0, true);
    EXPECT_EQ(shared.Next(), (std::vector<std::size_t>{1, 2}));
    EXPECT_FALSE(shared.Whose(Reply(7, std::nullopt))) << "could be either's";
    EXPECT_EQ(shared.Whose(Reply(7, 3)), 2u);

    // Distinct senders go together, except where one takes the other's address.
    ConfirmationSchedule own(
        {SenderAt(1, 21, 22), SenderAt(2, 22), SenderAt(3, 23), SenderAt(4, 24)}, 2);
    EXPECT_EQ(own.Next(), (std::vector<std::size_t>{0, 2})) << "at most two in flight";
    EXPECT_EQ(own.Whose(Reply(22, 1)), 0u) << "from the address just given, naming its MAC";
    own.Done(0, false);
    own.StopSending();
    EXPECT_TRUE(own.Next().empty());
    EXPECT_FALSE(own.Finished());
    own.Done(2, false);
    EXPECT_TRUE(own.Finished());
    EXPECT_FALSE(own.WasSent(1));
}

// A chain goes from its free end, a ring never; a holder's move that fails
// holds back whoever was to take its address.
TEST(AddressHandOvers, TheHolderMovesFirstAndARingIsRefused) {
    const auto move = [](std::uint32_t now, std::uint32_t next) {
        return AddressMove{now, next, true};
    };
    // 1 takes 2's address, 2 takes 3's, 3 a free one; 4 and 5 swap; 6 keeps its own.
    const HandOvers order = OrderHandOvers({move(1, 2), move(2, 3), move(3, 9), move(4, 5),
                                            move(5, 4), AddressMove{6, std::nullopt, false}});
    EXPECT_EQ(order.waits_for,
              (std::vector<std::optional<std::size_t>>{1, 2, std::nullopt, 4, 3, std::nullopt}));
    EXPECT_EQ(order.cycles, (std::vector<std::vector<std::size_t>>{{3, 4}}));

    ConfirmationSchedule chain({SenderAt(1, 1), SenderAt(2, 2), SenderAt(3, 3)}, 64,
                               {1, 2, std::nullopt});
    EXPECT_EQ(chain.Next(), (std::vector<std::size_t>{2}));
    chain.Done(2, true, true);
    EXPECT_EQ(chain.Next(), (std::vector<std::size_t>{1}));
    chain.Done(1, false, false);
    EXPECT_EQ(chain.TakeBlocked(), (std::vector<std::size_t>{0}));
    EXPECT_TRUE(chain.Finished());

    ScanView scan;
    scan.modules = {Module(1, kNet | 101), Module(2, kNet | 102), Module(3, kNet | 103)};
    Plan swap;
    swap.modules = {Planned(1, kNet | 102, 2), Planned(2, kNet | 101, 3),
                    Planned(3, kNet | 130, 4)};
    const std::vector<Finding> findings = CheckModules(scan, &swap);
    EXPECT_EQ(Kinds(findings)[0], "address-cycle error 01 02");
}

}  // namespace
}  // namespace tolm::linkora
