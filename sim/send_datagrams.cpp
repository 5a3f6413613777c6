#include "send_datagrams.h"

#include <time.h>

#include <cerrno>
#include <cstdio>

#include "udp_socket.h"

namespace tolm::sim {
namespace {

void Pause(unsigned microseconds) {
    timespec left{static_cast<time_t>(microseconds / 1000000),
                  static_cast<long>(microseconds % 1000000) * 1000};
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
}

// Keeps a rate by the clock: a sleep is far longer than one send, so the
// datagrams due since the last wake go out together.
class Pacer {
  public:
    explicit Pacer(unsigned rate) : rate_(rate) { clock_gettime(CLOCK_MONOTONIC, &start_); }

    // Sleeps only when ahead of the schedule: a datagram already due goes at
    // once, so a rate near what one sender manages is not halved by sleeps.
    void BeforeSend(unsigned long long sent) {
        if (rate_ == 0) return;
        const long long due_ns = static_cast<long long>(sent * 1000000000ULL / rate_);
        timespec now;
        clock_gettime(CLOCK_MONOTONIC, &now);
        const long long elapsed_ns =
            (now.tv_sec - start_.tv_sec) * 1000000000LL + (now.tv_nsec - start_.tv_nsec);
        if (due_ns <= elapsed_ns) return;
        timespec at = start_;
        at.tv_sec += static_cast<time_t>(due_ns / 1000000000LL);
        at.tv_nsec += static_cast<long>(due_ns % 1000000000LL);
        if (at.tv_nsec >= 1000000000L) {
            at.tv_sec += 1;
            at.tv_nsec -= 1000000000L;
        }
        while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr) == EINTR) {
        }
    }

  private:
    unsigned rate_;
    timespec start_;
};

}  // namespace

int SendDatagrams(const Options& options) {
    UdpSocket socket(0);
    unsigned long failures = 0;
    unsigned long long sent = 0;
    Pacer pacer(options.rate);
    for (unsigned round = 0; round < options.repeat; ++round) {
        for (const std::string& datagram : options.datagrams) {
            pacer.BeforeSend(sent++);
            std::string error;
            if (!socket.SendBroadcast(datagram, &error) && failures++ == 0)
                std::fprintf(stderr, "tolm-sim: %s\n", error.c_str());
            if (options.interval_us > 0) Pause(options.interval_us);
        }
    }
    if (failures == 0) return 0;
    std::fprintf(stderr, "tolm-sim: %lu of %zu datagrams not sent\n", failures,
                 options.datagrams.size() * options.repeat);
    return 1;
}

}  // namespace tolm::sim
