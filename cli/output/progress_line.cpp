#include "cli/output/progress_line.h"

#include <algorithm>
#include <cstdio>

#include "cli/platform/terminal.h"

namespace tolm::linkora {

ProgressLine::ProgressLine()
    : shown_(IsTerminal(stderr)), escapes_(shown_ && EnableEscapes(stderr)) {}

ProgressLine::~ProgressLine() {
    if (!shown_) return;
    if (escapes_)
        std::fputs("\r\033[K", stderr);
    else
        std::fprintf(stderr, "\r%s\r", std::string(width_, ' ').c_str());
    std::fflush(stderr);
}

void ProgressLine::Show(const std::string& text) {
    if (!shown_) return;
    if (escapes_)
        std::fprintf(stderr, "\r%s\033[K", text.c_str());
    else
        std::fprintf(stderr, "\r%s%s", text.c_str(),
                     std::string(width_ > text.size() ? width_ - text.size() : 0, ' ').c_str());
    width_ = std::max(width_, text.size());
    std::fflush(stderr);
}

}  // namespace tolm::linkora
