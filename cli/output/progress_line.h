// A line on standard error that tells how long work is going, rewritten in
// place, and only when standard error is a terminal; gone when done.
#pragma once

#include <cstddef>
#include <string>

namespace tolm::linkora {

class ProgressLine {
  public:
    ProgressLine();
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void Show(const std::string& text);

  private:
    bool shown_;
    // Where escape sequences cannot be used, blanks wipe out the longer text
    // that stood before.
    bool escapes_;
    std::size_t width_ = 0;
};

}  // namespace tolm::linkora
