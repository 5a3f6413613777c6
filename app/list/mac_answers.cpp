#include "list/mac_answers.h"

#include <algorithm>
#include <cstring>

#include "record_text.h"

namespace {

std::string ReportedIp(const TOLM_ModuleScanResponseType& record) {
    return record.bIpAddressValid != 0 ? tolm::client::IpText(record.dwIpAddress)
                                       : tolm::client::kNotAvailable;
}

}  // namespace

bool MacAnswers::Add(const TOLM_ModuleScanResponseType& record,
                     const TOLM_ResponseOriginType* origin) {
    Mac mac;
    std::copy(record.abMacId, record.abMacId + TOLM_MAC_SIZE, mac.begin());
    const auto [at, first] = m_byMac.try_emplace(mac);
    Answers& answers = at->second;
    const bool same_values = !first && std::memcmp(&answers.first, &record, sizeof record) == 0;
    if (first) answers.first = record;
    answers.differ = answers.differ || (!first && !same_values);
    if (origin == nullptr) return first;
    answers.senders_known = true;
    const std::string adapter = tolm::client::FieldText(origin->szAdapter);
    const auto known =
        std::find_if(answers.senders.begin(), answers.senders.end(), [&](const Sender& s) {
            return s.address == origin->dwSenderAddress && s.adapter == adapter;
        });
    if (known != answers.senders.end()) {
        known->other_values = known->other_values || !same_values;
    } else if (answers.senders.size() < kMaxSendersPerMac) {
        answers.senders.push_back(
            {origin->dwSenderAddress, adapter, ReportedIp(record), !first && !same_values});
    } else {
        ++answers.more_senders;
    }
    return first;
}

std::optional<std::string> MacAnswers::ConflictText(const Mac& mac) const {
    const auto found = m_byMac.find(mac);
    if (found == m_byMac.end()) return std::nullopt;
    const Answers& answers = found->second;
    if (answers.senders.size() <= 1 && !answers.differ) return std::nullopt;
    const std::string mac_text = tolm::client::MacText(mac.data());
    std::string text =
        answers.senders.size() > 1
            ? "More than one device answers as " + mac_text +
                  ": the settings shown may be another device's, and a configure request "
                  "would reach every one of them."
            : "The answers for " + mac_text +
                  " differ: more than one device may answer as it, and the settings shown "
                  "may be another device's.";
    text += " The configuration dialog is not opened.\n\nAnswers since the last scan came from:";
    if (!answers.senders_known) text += "\n(this tolm.dll does not tell the senders)";
    for (const Sender& sender : answers.senders) {
        text += "\n" + tolm::client::IpText(sender.address);
        if (!sender.adapter.empty()) text += " on adapter " + sender.adapter;
        text += ", reporting IP " + sender.reported_ip;
        if (sender.other_values) text += ", other values than the row shows";
    }
    if (answers.more_senders > 0) text += "\nand " + std::to_string(answers.more_senders) + " more";
    return text +
           "\n\nFind the device that answers in the module's place, take it off the network "
           "and press Scan.";
}

std::optional<std::uint32_t> MacAnswers::SenderOf(const Mac& mac) const {
    const auto found = m_byMac.find(mac);
    if (found == m_byMac.end() || found->second.senders.size() != 1) return std::nullopt;
    return found->second.senders.front().address;
}
