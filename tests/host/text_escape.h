// Byte texts as blank-free words, so one reply line splits on blanks into
// key=value pairs: printable ASCII stays, '\' doubles, every other byte
// (the blank included) becomes \xNN.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace tolm::host {

std::string Escape(const char* bytes, std::size_t size);
inline std::string Escape(const std::string& bytes) {
    return Escape(bytes.data(), bytes.size());
}

// Undoes Escape; nullopt on a dangling '\' or a bad \xNN.
std::optional<std::string> Unescape(const std::string& word);

// Two upper-case hex digits per byte, no separators.
std::string HexDump(const void* bytes, std::size_t size);

}  // namespace tolm::host
