// Loading, starting, stopping and unloading, and what each leaves behind.
#include <algorithm>

#include "host_test.h"

namespace tolm::labtest {
namespace {

using Lifecycle = HostTest;

TEST_F(Lifecycle, SecondProcessCannotBindThePort) {
    Host& first = Launch();
    Host& second = Launch();
    EXPECT_EQ(first.Run("socket-status")["result"], "0");
    EXPECT_EQ(second.Run("socket-status")["result"], "1") << "the port is in use";
    EXPECT_NE(second.Run("socket-status")["os-error"], "0");
    EXPECT_EQ(second.Run("scan")["result"], "0");
    EXPECT_EQ(second.Run("configure mac=02-00-00-00-10-01")["result"], "0");
    EXPECT_EQ(second.Run("start")["result"], "0") << "already started by Launch";
    EXPECT_EQ(second.Run("stop")["result"], "1");
    EXPECT_EQ(second.Run("start")["result"], "1");

    SendFromModules({ResponseText("02-00-00-00-10-01", "for-the-first")});
    EXPECT_EQ(WaitEvents(first, 1)["codes"], "1");
    EXPECT_EQ(WaitEvents(second, 1, kQuietPeriod)["result"], "0");
    EXPECT_EQ(second.Run("take")["result"], "0");
    EXPECT_EQ(first.Run("scan")["result"], "1");
}

// A slow callback is running when Stop is called: Stop must wait for it,
// and nothing may be notified until the next Start.
TEST_F(Lifecycle, StopWaitsForTheWorkerAndSilencesIt) {
    Host& host = Launch("slow 300");
    SendFromModules({ResponseText("02-00-00-00-10-01", "before-stop")});
    WaitEvents(host, 1);
    const Reply stop = host.Run("stop");
    EXPECT_EQ(stop["result"], "1");
    EXPECT_EQ(stop["active"], "0") << "Stop returned while the callback still ran";
    EXPECT_EQ(stop["events"], "1");
    EXPECT_EQ(host.Run("take")["result"], "0") << "Stop frees what is queued";

    SendFromModules({ResponseText("02-00-00-00-10-02", "while-stopped")});
    EXPECT_EQ(WaitEvents(host, 2, kQuietPeriod)["result"], "0");

    // What waited in the socket is read by the next worker.
    EXPECT_EQ(host.Run("start")["result"], "1");
    EXPECT_EQ(WaitEvents(host, 2)["codes"], "1,1");
    EXPECT_EQ(host.Run("take")["szHostName"], "while-stopped");
    EXPECT_EQ(host.Run("start")["result"], "0") << "a second Start while running";
}

TEST_F(Lifecycle, StartAfterStopRunsAgainRepeatedly) {
    Host& host = Launch("on", false);
    for (int round = 1; round <= 3; ++round) {
        EXPECT_EQ(host.Run("start")["result"], "1");
        SendFromModules({ResponseText("02-00-00-00-10-01", "round-" + std::to_string(round))});
        EXPECT_EQ(WaitEvents(host, round)["result"], "1");
        EXPECT_EQ(host.Run("take")["szHostName"], "round-" + std::to_string(round));
        EXPECT_EQ(host.Run("stop")["result"], "1");
    }
    EXPECT_EQ(host.Codes(), "1,1,1");
}

TEST_F(Lifecycle, StopWithoutStartReturnsAtOnce) {
    Host& host = Launch("on", false);
    EXPECT_EQ(host.Run("stop")["result"], "1");
    EXPECT_EQ(host.Run("stop")["result"], "1");
    EXPECT_EQ(host.Run("take")["result"], "0");
}

TEST_F(Lifecycle, DatagramsBeforeStartAreReadByTheFirstPass) {
    Host& host = Launch("on", false);
    SendFromModules({ResponseText("02-00-00-00-10-01", "early")});
    EXPECT_EQ(WaitEvents(host, 1, kQuietPeriod)["result"], "0");
    EXPECT_EQ(host.Run("start")["result"], "1");
    EXPECT_EQ(WaitEvents(host, 1)["codes"], "1");
    EXPECT_EQ(host.Run("take")["szHostName"], "early");
}

// Unloading closes the socket, so another process can bind; loading again
// starts with no callback registered.
TEST_F(Lifecycle, UnloadFreesThePortAndReloadForgetsTheCallback) {
    Host& first = Launch("on", false);
    EXPECT_EQ(first.Run("unload")["result"], "1");
    Host& second = Launch("on", false);
    EXPECT_EQ(second.Run("scan")["result"], "1");
    EXPECT_EQ(second.Run("unload")["result"], "1");

    EXPECT_EQ(first.Run("load")["result"], "1");
    EXPECT_EQ(first.Run("scan")["result"], "1");
    EXPECT_EQ(first.Run("start")["result"], "1");
    SendFromModules({ResponseText("02-00-00-00-10-01", "after-reload")});
    EXPECT_EQ(first.TakeWithin(kArrival)["szHostName"], "after-reload");
    EXPECT_EQ(first.Run("events")["count"], "0");
    EXPECT_EQ(first.Run("stop")["result"], "1");
}

// A host that unloads the library without stopping it first must not be
// brought down: neither by the unload nor by answers arriving after it.
TEST_F(Lifecycle, UnloadWhileRunningLeavesTheHostRunning) {
    Host& host = Launch();
    SendFromModules({ResponseText("02-00-00-00-10-01", "before-unload")});
    EXPECT_EQ(WaitEvents(host, 1)["codes"], "1");
    EXPECT_EQ(host.Run("unload")["result"], "1");
    SendFromModules({ResponseText("02-00-00-00-10-02", "after-unload")});
    EXPECT_EQ(WaitEvents(host, 3, kQuietPeriod)["result"], "0");
    EXPECT_EQ(host.Run("load")["result"], "1");
}

// The worker cannot wait for itself: Stop from inside the callback asks it
// to end after the callback and returns; a Stop, Start or unload from the
// host's thread finishes the work.
TEST_F(Lifecycle, StopFromTheCallbackEndsTheWorkerAfterIt) {
    Host& host = Launch("stop-in-callback");
    SendFromModules({ResponseText("02-00-00-00-10-01", "first")});
    EXPECT_EQ(WaitEvents(host, 1)["codes"], "1");
    SendFromModules({ResponseText("02-00-00-00-10-02", "second")});
    EXPECT_EQ(WaitEvents(host, 2, kQuietPeriod)["result"], "0") << "the worker went on";
    EXPECT_EQ(host.Run("inner")["entries"], "stop:1");
    EXPECT_EQ(host.Run("take")["szHostName"], "first");

    // Start finishes the stopped worker and runs a new one, which reads what waited.
    EXPECT_EQ(host.Run("start")["result"], "1");
    EXPECT_EQ(WaitEvents(host, 2)["codes"], "1,1");
    EXPECT_EQ(host.Run("take")["szHostName"], "second");
    EXPECT_EQ(host.Run("stop")["result"], "1");

    // Unloading right after a Stop from the callback waits for the worker too.
    EXPECT_EQ(host.Run("start")["result"], "1");
    SendFromModules({ResponseText("02-00-00-00-10-03", "third")});
    EXPECT_EQ(WaitEvents(host, 3)["codes"], "1,1,1");
    EXPECT_EQ(host.Run("unload")["result"], "1");
    EXPECT_EQ(host.Run("load")["result"], "1");
    EXPECT_EQ(host.Run("scan")["result"], "1") << "the port was freed";
}

// The worker's thread may be the one that unloads the library at last: it
// must let itself go instead of waiting for itself, or the loader stays busy
// for good and the next load hangs.
TEST_F(Lifecycle, UnloadWhileTheCallbackStillRunsAfterItsStop) {
    Host& host = Launch("stop-in-callback 300");
    SendFromModules({ResponseText("02-00-00-00-10-01", "first")});
    EXPECT_EQ(WaitEvents(host, 1)["codes"], "1");
    EXPECT_EQ(host.Run("unload")["result"], "1");
    // Past the callback's end: the worker has let go of the library.
    WaitEvents(host, 2, Milliseconds(700));
    EXPECT_EQ(host.Run("load")["result"], "1");
    EXPECT_EQ(host.Run("start")["result"], "1");
    EXPECT_EQ(host.Run("stop")["result"], "1");
}

// A Stop that cannot have the library to itself in time says so.
TEST_F(Lifecycle, StopThatGivesUpWaitingReturnsZero) {
    Host& host = Launch("slow 1500");
    SendFromModules({ResponseText("02-00-00-00-10-01", "slow")});
    EXPECT_EQ(WaitEvents(host, 1)["codes"], "1");
    EXPECT_EQ(host.Run("stop-twice", Milliseconds(20000))["results"], "0,1");
}

TEST_F(Lifecycle, DllGetVersionFillsTheStructureWhateverItsSize) {
    Host& host = Launch("off", false);
    for (const char* size : {"20", "0"}) {
        ExpectFields(host.Run(std::string("version ") + size), {{"result", "0"},
                                                                {"cbSize", size},
                                                                {"major", "1"},
                                                                {"minor", "2"},
                                                                {"build", "1"},
                                                                {"platform", "1"}});
    }
}

}  // namespace
}  // namespace tolm::labtest

namespace tolm::labtest {
namespace {

// Allocations can be made to fail only where the library takes them from
// the host's allocator: natively.
using NativeLoad = HostTest;

// Out of memory while the library loads: it loads all the same, and its
// calls say that it cannot work instead of crashing the host.
TEST_F(NativeLoad, FailedAllocationLeavesALibraryWhoseCallsReturnZero) {
    Host& host = Launch("off", false);
    EXPECT_EQ(host.Run("unload")["result"], "1");
    EXPECT_EQ(host.Run("load fail-allocations")["result"], "1");
    EXPECT_EQ(host.Run("socket-status")["result"], "5");
    EXPECT_EQ(host.Run("callback on")["returned"], "other");
    EXPECT_EQ(host.Run("start")["result"], "0");
    EXPECT_EQ(host.Run("scan")["result"], "0");
    EXPECT_EQ(host.Run("configure mac=02-00-00-00-10-01")["result"], "0");
    EXPECT_EQ(host.Run("take")["result"], "0");
    EXPECT_EQ(host.Run("peek")["result"], "0");
    EXPECT_EQ(host.Run("remove")["result"], "0");
    EXPECT_EQ(host.Run("version")["result"], "0");
    EXPECT_EQ(host.Run("stop")["result"], "1");
    EXPECT_EQ(host.Run("unload")["result"], "1");
    EXPECT_EQ(host.Run("load")["result"], "1");
    EXPECT_EQ(host.Run("socket-status")["result"], "0") << "a normal load works again";
}

}  // namespace
}  // namespace tolm::labtest
