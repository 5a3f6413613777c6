#include "datagram_log.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "escape.h"

namespace tolm::sim {

DatagramLog::DatagramLog(const std::string& path) {
    if (path.empty()) return;
    file_ = std::fopen(path.c_str(), "w");
    if (file_ == nullptr)
        throw std::runtime_error("cannot create the log " + path + ": " + std::strerror(errno));
}

DatagramLog::~DatagramLog() {
    if (file_ != nullptr) std::fclose(file_);
}

void DatagramLog::Write(std::string_view datagram) {
    if (file_ == nullptr) return;
    const std::string line = EscapeBytes(datagram) + '\n';
    std::fwrite(line.data(), 1, line.size(), file_);
    std::fflush(file_);
}

}  // namespace tolm::sim
