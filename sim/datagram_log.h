// --log: one line per received datagram in the escaped form of EscapeBytes,
// flushed at once so that a test can read it while the simulator runs.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace tolm::sim {

class DatagramLog {
  public:
    // An empty path logs nothing. Throws std::runtime_error if the file
    // cannot be created.
    explicit DatagramLog(const std::string& path);
    ~DatagramLog();
    DatagramLog(const DatagramLog&) = delete;
    DatagramLog& operator=(const DatagramLog&) = delete;

    void Write(std::string_view datagram);

  private:
    std::FILE* file_ = nullptr;
};

}  // namespace tolm::sim
