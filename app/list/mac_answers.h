// Who answered as each listed MAC since the last scan. Anyone on the segment
// can answer as any MAC: a forged answer, or two devices given one MAC. The
// list shows the first answer; a configure request built from it would go,
// gateway, DNS servers and password included, to every device that answers
// as the MAC. So every answer's sender and values are kept, and a MAC that
// more than one sender, or differing values, answered as is not configured.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tolm.h"
#include "tolm_ext.h"

class MacAnswers {
  public:
    using Mac = std::array<std::uint8_t, TOLM_MAC_SIZE>;
    // Senders told apart for one MAC; more only keep it a conflict.
    static constexpr std::size_t kMaxSendersPerMac = 16;

    // Records an answer and where it came from (null when the library does
    // not tell); true when it is the first for its MAC since the last Clear.
    bool Add(const TOLM_ModuleScanResponseType& record, const TOLM_ResponseOriginType* origin);
    void Clear() { m_byMac.clear(); }

    // The warning a double-click on the MAC's row shows instead of opening
    // the dialog: the senders, with their adapters and the address each
    // reported; none while one sender answered with one set of values.
    std::optional<std::string> ConflictText(const Mac& mac) const;
    // The address the MAC's answers came from, when the library tells.
    std::optional<std::uint32_t> SenderOf(const Mac& mac) const;

  private:
    struct Sender {
        std::uint32_t address = 0;
        std::string adapter;
        std::string reported_ip;    // the IP its first answer gave, "N/A" when none
        bool other_values = false;  // an answer of its differs from the listed one
    };
    struct Answers {
        TOLM_ModuleScanResponseType first;
        bool senders_known = false;
        std::vector<Sender> senders;
        std::size_t more_senders = 0;  // past kMaxSendersPerMac
        bool differ = false;
    };
    std::map<Mac, Answers> m_byMac;
};
