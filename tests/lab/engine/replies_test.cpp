// Replies to configure requests with where they came from: a host tells a
// module's own confirmation from anybody else's.
#include "host_test.h"

namespace tolm::labtest {
namespace {

const std::string kNul(1, '\0');

using Replies = HostTest;

TEST_F(Replies, EachKeptReplyTellsItsSenderAndTheMacItNames) {
    Host& host = Launch();
    SendFromModules({"Reconfigured: 02-00-00-00-30-09" + kNul});
    EXPECT_EQ(WaitEvents(host, 1)["codes"], "2");
    EXPECT_EQ(host.Run("reply")["result"], "0") << "kept before any host asked";

    SendFromModules({"Reconfigured: 02-00-00-00-30-01" + kNul,
                     "Invalid Password: 02-00-00-00-30-02" + kNul, "reconfigured:" + kNul});
    EXPECT_EQ(WaitEvents(host, 4)["codes"], "2,2,3,2");
    ExpectFields(host.Run("reply"), {{"result", "1"},
                                     {"code", "2"},
                                     {"mac", "02-00-00-00-30-01"},
                                     {"reserved", "0"},
                                     {"adapter", "tl0"},
                                     {"sender", "10.77.0.11"}});
    ExpectFields(host.Run("reply"), {{"code", "3"}, {"mac", "02-00-00-00-30-02"}});
    ExpectFields(host.Run("reply"), {{"code", "2"}, {"mac", "-"}, {"sender", "10.77.0.11"}});
    EXPECT_EQ(host.Run("reply")["result"], "0");
    ExpectInvalidPasswordEntry(host, "02-00-00-00-30-02");
}

}  // namespace
}  // namespace tolm::labtest
