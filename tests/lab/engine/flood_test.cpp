// A flood on the segment: the queues stop at their bounds and count what
// they drop, and host calls get through while the worker reads. Natively
// only: the bounds are the engine's own logic, and Wine's worker could not
// take the flood in without the kernel dropping part of it first.
#include <cstdlib>
#include <thread>

#include "host_test.h"
#include "tolm_ext.h"

namespace tolm::labtest {
namespace {

const std::string kNul(1, '\0');

std::string Hex(const std::string& bytes) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    for (const char c : bytes) {
        hex += kDigits[static_cast<unsigned char>(c) >> 4];
        hex += kDigits[static_cast<unsigned char>(c) & 0x0F];
    }
    return hex;
}

// Datagrams a second: a sanitized library drains far fewer than a build, and the kernel would drop
// what it cannot take before the queues fill, so the sanitized trees set a rate it keeps up with.
int FloodRate() {
    const char* rate = std::getenv("TOLM_FLOOD_RATE");
    return rate != nullptr ? std::atoi(rate) : 25000;
}

void SendRepeated(const std::string& datagram, int count, int rate) {
    SendOptionsFromModules({"--send-hex", Hex(datagram), "--repeat", std::to_string(count),
                            "--rate", std::to_string(rate)},
                           Milliseconds(120000));
}

class Flood : public HostTest {
  protected:
    // The counts settle once the worker has read what the socket held.
    static Reply SettledDrops(Host& host) {
        Reply last = host.Run("drops");
        for (int i = 0; i < 50; ++i) {
            WaitEvents(host, 1 << 30, Milliseconds(200));
            Reply now = host.Run("drops");
            if (now.line == last.line) return now;
            last = now;
        }
        return last;
    }
};

TEST_F(Flood, QueuesStopAtTheirBoundsAndCountWhatTheyDrop) {
    Host& host = Launch("off");
    EXPECT_EQ(host.Run("reply")["result"], "0") << "keeps replies from now on";
    constexpr int kAnswers = 80000;
    constexpr int kRefusals = 5000;
    SendRepeated(ResponseText("02-00-00-00-20-01", "flood"), kAnswers, FloodRate());
    SendRepeated("Invalid Password: 02-00-00-00-20-01" + kNul, kRefusals, FloodRate());
    const Reply drops = SettledDrops(host);

    const Reply drained = host.Run("drain", Milliseconds(30000));
    EXPECT_EQ(drained.Number("taken"), TOLM_MAX_QUEUED_RESPONSES);
    EXPECT_EQ(drained.Number("invalid"), TOLM_MAX_QUEUED_INVALID_PASSWORDS);
    EXPECT_GT(drops.Number("responses"), 0);
    EXPECT_LE(drops.Number("responses"), kAnswers - TOLM_MAX_QUEUED_RESPONSES);
    EXPECT_GT(drops.Number("invalid-passwords"), 0);
    EXPECT_LE(drops.Number("invalid-passwords"), kRefusals - TOLM_MAX_QUEUED_INVALID_PASSWORDS);
    EXPECT_EQ(drops.Number("replies"), drops.Number("invalid-passwords"))
        << "replies are bounded like invalid-password entries";

    // A bound, not a latch: with room again, answers queue again.
    SendFromModules({ResponseText("02-00-00-00-20-02", "after")});
    EXPECT_EQ(host.TakeWithin(kArrival)["szHostName"], "after");
    // Start begins the counts anew.
    EXPECT_EQ(host.Run("stop")["result"], "1");
    EXPECT_EQ(host.Run("start")["result"], "1");
    ExpectFields(host.Run("drops"), {{"result", "1"}, {"responses", "0"}, {"replies", "0"}});
}

// A worker that reads slower than datagrams come would otherwise hold the
// lock for the whole backlog, and every host call would give up after 1 s.
TEST_F(Flood, HostCallsGetThroughWhileTheWorkerWorksOffABacklog) {
    Host& host = Launch("slow 1");
    SendRepeated(ResponseText("02-00-00-00-21-01", "backlog"), 3000, 10000);
    WaitEvents(host, 1);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(host.Run("take")["result"], "1") << "take " << i << " gave up on the lock";
        std::this_thread::sleep_for(Milliseconds(100));
    }
}

}  // namespace
}  // namespace tolm::labtest
