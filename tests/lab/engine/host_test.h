// Shared fixture of the engine tests: hosts launched for one test and
// quit at its end, where a non-zero exit status (a crash, or a sanitizer
// report at exit) fails the test.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host_client.h"
#include "module_side.h"

namespace tolm::labtest {

// Long enough for a datagram to cross the lab on a loaded machine; only
// ever waited in full when a test is failing.
inline constexpr Milliseconds kArrival{5000};
// How long a notification that must not come is given to show up anyway.
inline constexpr Milliseconds kQuietPeriod{300};

class HostTest : public testing::Test {
  protected:
    // A host with its callback in the given mode ("off" registers none),
    // started unless told otherwise.
    Host& Launch(const std::string& callback = "on", bool start = true) {
        hosts_.push_back(std::make_unique<Host>());
        Host& host = *hosts_.back();
        if (callback != "off") {
            EXPECT_EQ(host.Run("callback " + callback)["returned"], "given");
        }
        if (start) {
            EXPECT_EQ(host.Run("start")["result"], "1");
        }
        return host;
    }

    // Waits for the host to have received count notifications in all.
    static Reply WaitEvents(Host& host, int count, Milliseconds timeout = kArrival) {
        return host.Run("wait-events " + std::to_string(count) + " " +
                        std::to_string(timeout.count()));
    }

    // Expects each key of the reply to hold its value.
    static void ExpectFields(const Reply& reply,
                             std::initializer_list<std::pair<const char*, std::string>> expected) {
        for (const auto& [key, value] : expected) EXPECT_EQ(reply[key], value) << key;
    }

    // Expects the oldest invalid-password entry to be mac, then removes it.
    static void ExpectInvalidPasswordEntry(Host& host, const std::string& mac) {
        const Reply peek = host.Run("peek");
        EXPECT_EQ(peek["result"], "1");
        EXPECT_EQ(peek["mac"], mac);
        EXPECT_EQ(host.Run("remove")["result"], "1");
    }

    void TearDown() override {
        for (auto& host : hosts_) EXPECT_EQ(host->Quit(), 0) << "host exit status";
        hosts_.clear();
    }

  private:
    std::vector<std::unique_ptr<Host>> hosts_;
};

}  // namespace tolm::labtest
