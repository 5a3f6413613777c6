#include "notification_log.h"

#include <condition_variable>
#include <mutex>

namespace tolm::windows_test {
namespace {

std::mutex g_mutex;
std::condition_variable g_recorded;
std::vector<int32_t> g_codes;

}  // namespace

void TOLM_CALLBACK RecordNotification(int32_t code) {
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        g_codes.push_back(code);
    }
    g_recorded.notify_all();
}

std::vector<int32_t> WaitForNotifications(std::size_t count, std::chrono::milliseconds limit) {
    std::unique_lock<std::mutex> lock(g_mutex);
    g_recorded.wait_for(lock, limit, [count] { return g_codes.size() >= count; });
    return g_codes;
}

}  // namespace tolm::windows_test
