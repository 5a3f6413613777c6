#include "check_log.h"

#include <cstdio>

namespace tolm::windows_test {
namespace {

int g_passed = 0;
int g_failures = 0;

}  // namespace

void Check(bool holds, const std::string& what) {
    std::printf("%s: %s\n", holds ? "ok" : "FAIL", what.c_str());
    std::fflush(stdout);
    ++(holds ? g_passed : g_failures);
}

int Summarize() {
    std::printf("%d passed, %d failed\n", g_passed, g_failures);
    std::fflush(stdout);
    return g_failures == 0 ? 0 : 1;
}

}  // namespace tolm::windows_test
