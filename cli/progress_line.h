// A line on standard error that tells how long work is going, rewritten in
// place, and only when standard error is a terminal; gone when done.
#pragma once

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
};

}  // namespace tolm::linkora
