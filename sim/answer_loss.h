// Which answers to a scan are lost on the way, as plant networks lose datagrams: each one with
// the same given share, drawn from a seeded generator, so that a run can be repeated exactly.
#pragma once

#include <cstdint>
#include <optional>
#include <random>
#include <string>

namespace tolm::sim {

class AnswerLoss {
  public:
    // share: 0 (none lost) to 1 (all lost).
    AnswerLoss(std::uint32_t seed, double share);

    // Whether the next answer is lost.
    bool Drops();

  private:
    std::mt19937 random_;
    std::uint64_t threshold_;  // a draw below it is lost; 2^32 loses every one
};

// "0", "0.1", "1": a share from 0 to 1 in decimal; nothing for any other text.
std::optional<double> ParseShare(const std::string& text);

}  // namespace tolm::sim
