#include <windows.h>

#include "cli/platform/library_path.h"

namespace tolm::linkora {

// By file name: Windows looks in the program's own folder first.
std::string DefaultLibraryPath() {
    return "tolm.dll";
}

}  // namespace tolm::linkora
