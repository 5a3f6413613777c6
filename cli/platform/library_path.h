// Where linkora finds the library when --library does not say: beside its
// own executable. One implementation per OS.
#pragma once

#include <string>

namespace tolm::linkora {

std::string DefaultLibraryPath();

}  // namespace tolm::linkora
