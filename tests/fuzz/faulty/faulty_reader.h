// Deliberately faulty code, built only for the fuzz build's own test: it shows
// that a sanitizer report ends a fuzzing run with a failure.
#pragma once

#include <string_view>

namespace tolm::fuzz {

// "overflow N": reads N into a 32-bit int without saturating (signed overflow).
// "past end": reads the byte after the text (out of bounds).
int ReadFaulty(std::string_view text);

}  // namespace tolm::fuzz
