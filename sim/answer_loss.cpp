#include "answer_loss.h"

#include <cmath>
#include <cstdlib>

namespace tolm::sim {

// Another stream than the answer delays' of the same seed, so that a loss leaves the delays
// of the answers that get through as they were.
constexpr std::uint32_t kLossStream = 0x9E3779B9u;

AnswerLoss::AnswerLoss(std::uint32_t seed, double share)
    : random_(seed ^ kLossStream),
      threshold_(static_cast<std::uint64_t>(std::llround(share * 4294967296.0))) {}

bool AnswerLoss::Drops() {
    // mt19937's sequence is fixed by the standard, unlike the distributions.
    return threshold_ != 0 && random_() < threshold_;
}

std::optional<double> ParseShare(const std::string& text) {
    bool digits = false, point = false;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            digits = true;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            return std::nullopt;
        }
    }
    if (!digits) return std::nullopt;
    const double share = std::strtod(text.c_str(), nullptr);
    if (!(share >= 0.0 && share <= 1.0)) return std::nullopt;
    return share;
}

}  // namespace tolm::sim
