#include "faulty_reader.h"

#include <cstdint>

namespace tolm::fuzz {

int ReadFaulty(std::string_view text) {
    constexpr std::string_view kOverflow = "overflow ";
    constexpr std::string_view kPastEnd = "past end";
    if (text.starts_with(kOverflow)) {
        std::int32_t number = 0;
        for (char c : text.substr(kOverflow.size())) {
            if (c < '0' || c > '9') break;
            number = number * 10 + (c - '0');
        }
        return number;
    }
    if (text.starts_with(kPastEnd)) return text.data()[text.size()];
    return 0;
}

}  // namespace tolm::fuzz
