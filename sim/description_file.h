// The description file: one module per line as key=value pairs separated by
// blanks; a value with blanks, '#' or escapes goes in double quotes (C
// escapes are decoded inside quotes only); '#' at the start of a pair begins
// a comment. Keys are those of ApplySetting; what a line leaves out comes
// from the command line's settings for that module's number.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "fleet.h"
#include "module.h"

namespace tolm::sim {

// what() reads "FILE:LINE: reason".
class DescriptionError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

std::vector<Module> ParseDescription(std::string_view content, const std::string& file_name,
                                     const FleetDefaults& defaults);

// Reads and parses the file; a file that cannot be read is a DescriptionError.
std::vector<Module> LoadDescriptionFile(const std::string& path, const FleetDefaults& defaults);

}  // namespace tolm::sim
