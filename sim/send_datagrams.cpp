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

}  // namespace

int SendDatagrams(const Options& options) {
    UdpSocket socket(0);
    unsigned long failures = 0;
    for (unsigned round = 0; round < options.repeat; ++round) {
        for (const std::string& datagram : options.datagrams) {
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
