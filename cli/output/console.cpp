#include "cli/output/console.h"

#include <cstdio>

#include "cli/output/printable.h"

namespace tolm::linkora {

void Print(const std::string& text) {
    std::fputs(text.c_str(), stdout);
    std::fflush(stdout);
}

void Say(const std::string& text) {
    Print(PrintableLines(text));
}

void SayLine(const std::string& line) {
    Print(PrintableLines(line) + "\n");
}

void Warn(const std::string& message) {
    std::fprintf(stderr, "linkora: %s\n", PrintableLines(message).c_str());
    std::fflush(stderr);
}

}  // namespace tolm::linkora
