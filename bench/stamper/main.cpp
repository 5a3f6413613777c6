// tolm-bench-stamper: the module side of the latency benchmark. Sends COUNT
// scan responses, one every INTERVAL microseconds, each stamped with the
// wall clock just before it leaves, to 255.255.255.255:3250 from an
// ephemeral port.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "lab_guard.h"
#include "realtime_clock.h"
#include "stamp.h"
#include "tolm.h"

namespace {

constexpr long kNanosecondsPerSecond = 1'000'000'000;

void AddMicroseconds(timespec* time, long microseconds) {
    time->tv_nsec += microseconds * 1000;
    time->tv_sec += time->tv_nsec / kNanosecondsPerSecond;
    time->tv_nsec %= kNanosecondsPerSecond;
}

bool ParsePositive(const char* text, long* value) {
    char* end = nullptr;
    *value = std::strtol(text, &end, 10);
    return end != text && *end == '\0' && *value > 0;
}

}  // namespace

int main(int argc, char** argv) {
    long count = 0;
    long interval_us = 1000;
    bool good = argc == 3 || argc == 5;
    for (int i = 1; good && i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--count") == 0)
            good = ParsePositive(argv[i + 1], &count);
        else if (std::strcmp(argv[i], "--interval-us") == 0)
            good = ParsePositive(argv[i + 1], &interval_us);
        else
            good = false;
    }
    if (!good || count == 0) {
        std::fprintf(stderr, "usage: tolm-bench-stamper --count N [--interval-us U]\n");
        return 2;
    }
    tolm::lab::RequireLab("tolm-bench-stamper");

    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const int on = 1;
    if (fd < 0 || setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) != 0) {
        std::perror("tolm-bench-stamper: socket");
        return 1;
    }
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(INADDR_BROADCAST);
    to.sin_port = htons(TOLM_PORT);

    timespec next;
    clock_gettime(CLOCK_MONOTONIC, &next);
    long failed = 0;
    for (long i = 0; i < count; ++i) {
        AddMicroseconds(&next, interval_us);
        clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next, nullptr);
        const std::string text = tolm::bench::ComposeStampedAnswer(
            static_cast<std::uint32_t>(i), tolm::bench::RealtimeNanoseconds());
        // The NUL travels with the text, as a module sends it.
        if (sendto(fd, text.c_str(), text.size() + 1, 0, reinterpret_cast<const sockaddr*>(&to),
                   sizeof to) != static_cast<ssize_t>(text.size() + 1))
            ++failed;
    }
    close(fd);
    if (failed != 0) {
        std::fprintf(stderr, "tolm-bench-stamper: %ld of %ld sends failed\n", failed, count);
        return 1;
    }
    return 0;
}
