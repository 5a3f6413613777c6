#include "notify_log.h"

namespace tolm::host {

void NotifyLog::Record(int32_t code) {
    {
        std::lock_guard lock(mutex_);
        codes_.push_back(code);
    }
    arrived_.notify_all();
}

std::vector<int32_t> NotifyLog::Codes() const {
    std::lock_guard lock(mutex_);
    return codes_;
}

bool NotifyLog::WaitForCount(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return arrived_.wait_for(lock, timeout, [&] { return codes_.size() >= count; });
}

void NotifyLog::Enter() {
    std::lock_guard lock(mutex_);
    ++active_;
}

void NotifyLog::Leave() {
    std::lock_guard lock(mutex_);
    --active_;
}

int NotifyLog::Active() const {
    std::lock_guard lock(mutex_);
    return active_;
}

void NotifyLog::AddInnerCall(std::string entry) {
    std::lock_guard lock(mutex_);
    inner_calls_.push_back(std::move(entry));
}

std::vector<std::string> NotifyLog::InnerCalls() const {
    std::lock_guard lock(mutex_);
    return inner_calls_;
}

}  // namespace tolm::host
