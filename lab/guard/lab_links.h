// The network links this process sees; one implementation per OS.
#pragma once

#include <string>

namespace tolm::lab {

// Empty when every link is loopback or a lab link; else which one is not,
// or why the links cannot be listed.
std::string DescribeNonLabLink();

}  // namespace tolm::lab
