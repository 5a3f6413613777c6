#include "progress_line.h"

#include <cstdio>

#include "terminal.h"

namespace tolm::linkora {

ProgressLine::ProgressLine() : shown_(IsTerminal(stderr)) {}

ProgressLine::~ProgressLine() {
    if (!shown_) return;
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
}

void ProgressLine::Show(const std::string& text) {
    if (!shown_) return;
    std::fprintf(stderr, "\r%s\033[K", text.c_str());
    std::fflush(stderr);
}

}  // namespace tolm::linkora
