// Bounded, seeded random datagrams: whatever arrives, the responder neither
// crashes nor answers with anything but the two reply forms.
#include <gtest/gtest.h>

#include <random>

#include "fleet.h"
#include "responder.h"

namespace tolm::sim {
namespace {

void ExpectWellFormed(const Reaction& reaction, std::size_t modules) {
    EXPECT_LE(reaction.replies.size(), modules);
    for (const std::string& reply : reaction.replies) {
        const bool known =
            reply.rfind("Reconfigured: ", 0) == 0 || reply.rfind("Invalid Password: ", 0) == 0;
        EXPECT_TRUE(known) << reply;
        EXPECT_EQ(reply.back(), '\0');
    }
}

TEST(ResponderFuzz, RandomBytesOfEveryLength) {
    FleetDefaults defaults;
    defaults.password = "pw";
    Responder responder(MakeModules(defaults, 3));
    std::mt19937 random(20240601);
    for (int round = 0; round < 3000; ++round) {
        const std::size_t length = round == 0 ? 65507 : random() % 600;
        std::string datagram(length, '\0');
        for (char& byte : datagram) byte = static_cast<char>(random());
        ExpectWellFormed(responder.Handle(datagram), 3);
    }
}

TEST(ResponderFuzz, MutatedConfigureRequestsKeepResponsesReadable) {
    Responder responder(MakeModules({}, 2));
    const std::string seed_request =
        "Configure: 02-00-00-00-00-01;Password: x;New Password = y;IP = 10.0.0.1;"
        "SN = 255.0.0.0;GW = 10.0.0.2;DHCP = ON;HN = name;DNS1 = 1.1.1.1;DNS2 = 2.2.2.2;";
    static constexpr char kAlphabet[] = "0123456789.;:=- ACDFGHIMNOPSWacfhnopsw\0\xff";
    std::mt19937 random(99);
    for (int round = 0; round < 20000; ++round) {
        std::string datagram = seed_request;
        for (int edit = random() % 4; edit >= 0; --edit) {
            const std::size_t at = random() % datagram.size();
            const char byte = kAlphabet[random() % (sizeof kAlphabet - 1)];
            switch (random() % 3) {
                case 0:
                    datagram[at] = byte;
                    break;
                case 1:
                    datagram.insert(at, 1, byte);
                    break;
                default:
                    datagram.erase(at, 1);
                    break;
            }
        }
        ExpectWellFormed(responder.Handle(datagram), 2);
    }
    for (const std::string& response : responder.ScanResponses()) EXPECT_EQ(response.back(), '\0');
}

}  // namespace
}  // namespace tolm::sim
