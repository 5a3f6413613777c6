// Windows test programs that send on the protocol's port run only inside the
// lab: under Wine in a lab namespace, where the adapters are the lab's links.
#pragma once

#include <string>

namespace tolm::windows_test {

// Empty inside the lab; else why not.
std::string WhyNotInLab();

// Exits with status 3 and a message on stderr outside the lab.
void RequireLab(const char* program);

}  // namespace tolm::windows_test
