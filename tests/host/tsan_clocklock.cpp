// ThreadSanitizer (gcc 12) does not intercept pthread_mutex_clocklock, which
// std::recursive_timed_mutex::try_lock_for calls: locks taken through it stay
// invisible, and every access they guard is reported as a race. The TSAN
// build of the host exports this definition, which the library binds to, and
// takes the lock through pthread_mutex_timedlock, which the sanitizer sees.
#include <pthread.h>
#include <time.h>

namespace {

constexpr long long kNanosPerSecond = 1000000000LL;

long long Nanos(const timespec& time) {
    return time.tv_sec * kNanosPerSecond + time.tv_nsec;
}

}  // namespace

extern "C" int pthread_mutex_clocklock(pthread_mutex_t* mutex, clockid_t clock,
                                       const timespec* deadline) noexcept {
    timespec now{};
    timespec realNow{};
    clock_gettime(clock, &now);
    clock_gettime(CLOCK_REALTIME, &realNow);
    long long remaining = Nanos(*deadline) - Nanos(now);
    if (remaining < 0) remaining = 0;
    const long long realDeadline = Nanos(realNow) + remaining;
    const timespec converted = {static_cast<time_t>(realDeadline / kNanosPerSecond),
                                static_cast<long>(realDeadline % kNanosPerSecond)};
    return pthread_mutex_timedlock(mutex, &converted);
}
