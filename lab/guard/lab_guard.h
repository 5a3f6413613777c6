// Every program that sends on the protocol's port calls RequireLab first:
// it runs only inside a lab namespace, never on the machine's real network.
#pragma once

#include <string>

namespace tolm::lab {

// Names of the lab's own links all begin with this prefix; under Wine the
// adapters carry the names of the Linux links.
inline constexpr const char* kLinkPrefix = "tl";

// Empty when this process runs inside a lab namespace; else why not.
std::string WhyNotInLab();

// Exits with status 3 and a message on stderr outside a lab namespace.
void RequireLab(const char* program);

}  // namespace tolm::lab
