#include "cli/range/numbering.h"

#include "address_text.h"
#include "cli/command_line/failure.h"
#include "cli/command_line/options.h"
#include "client/configure_request.h"
#include "record_text.h"

namespace tolm::linkora {
namespace {

namespace client = tolm::client;

constexpr const char* kPatternHelp =
    "letters, digits and '_', with {n} where the number goes ({n:02} for at least two digits)";

}  // namespace

void AddRangeOptions(CLI::App* command, RangeOptions& o) {
    command->add_option("--ip", o.first, "The first address of the range");
    command->add_option("--ip-last", o.last, "The last address of the range; none: no end");
    command->add_option("--hostname", o.host_name,
                        "Host names made from PATTERN: press_{n}, press_{n:02}");
    command->add_option("--start", o.start, "The number of the first host name (default 1)");
    command->add_option("--mask", o.mask, "The subnet mask every module gets");
    command->add_option("--gateway", o.gateway, "The default gateway every module gets");
    command->add_option("--dns1", o.dns1, "The primary DNS server every module gets");
    command->add_option("--dns2", o.dns2, "The secondary DNS server every module gets");
    AddOnOff(command, "--dhcp", o.dhcp, "DHCP on or off for every module (any letter case)");
}

Numbering::Numbering(const RangeOptions& o) : start_(o.start) {
    first_ = AddressOption("--ip", o.first);
    const std::optional<std::uint32_t> last = AddressOption("--ip-last", o.last);
    if (last && !first_) throw Failure(kUsage, "--ip-last needs --ip, the range's first address");
    if (last && *last < *first_)
        throw Failure(kUsage, "--ip-last " + *o.last + " comes before --ip " + *o.first);
    if (last) size_ = static_cast<std::size_t>(*last - *first_) + 1;
    alike_.subnet_mask = AddressOption("--mask", o.mask);
    alike_.gateway = AddressOption("--gateway", o.gateway);
    alike_.dns1 = AddressOption("--dns1", o.dns1);
    alike_.dns2 = AddressOption("--dns2", o.dns2);
    if (o.dhcp) alike_.dhcp = *o.dhcp == "on";
    if (!o.host_name) return;
    const std::string& text = *o.host_name;
    bool counted = false;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t open = text.find('{', at);
        Piece literal{text.substr(at, open - at), std::nullopt};
        if (!literal.literal.empty()) pattern_.push_back(literal);
        if (open == std::string::npos) break;
        const std::size_t close = text.find('}', open);
        const std::string field =
            text.substr(open, close == std::string::npos ? std::string::npos : close - open + 1);
        int width = 1;
        if (field.size() > 4 && field.compare(0, 4, "{n:0") == 0 &&
            field.find_first_not_of("0123456789", 4) == field.size() - 1 && field.size() <= 7)
            width = std::stoi(field.substr(3, field.size() - 4));
        else if (field != "{n}")
            throw Failure(kUsage, "--hostname " + text + ": " + field + " is not {n} or {n:02}; " +
                                      "a pattern holds " + kPatternHelp);
        pattern_.push_back({"", width});
        counted = true;
        at = close + 1;
    }
    for (const Piece& piece : pattern_)
        if (!piece.width && !client::IsLegalHostName(piece.literal))
            throw Failure(kUsage, "--hostname " + text + " breaks the host-name rule: a pattern " +
                                      "holds " + kPatternHelp);
    if (!counted && size_.value_or(2) > 1)
        throw Failure(kUsage,
                      "--hostname " + text +
                          " gives every module the same name: put {n} where the number goes");
}

std::string Numbering::HostName(std::size_t n) const {
    std::string name;
    for (const Piece& piece : pattern_) {
        if (!piece.width) {
            name += piece.literal;
            continue;
        }
        std::string number = std::to_string(start_ + n);
        if (number.size() < static_cast<std::size_t>(*piece.width))
            number.insert(0, static_cast<std::size_t>(*piece.width) - number.size(), '0');
        name += number;
    }
    return name;
}

ModuleSettings Numbering::Settings(std::size_t n) const {
    ModuleSettings settings = alike_;
    if (first_) settings.ip = *first_ + static_cast<std::uint32_t>(n);
    if (!pattern_.empty()) settings.host_name = HostName(n);
    return settings;
}

std::string Numbering::Text() const {
    std::string text;
    if (first_)
        text = size_ ? client::IpText(*first_) + " to " +
                           client::IpText(*first_ + static_cast<std::uint32_t>(*size_ - 1))
                     : client::IpText(*first_) + " on";
    if (!pattern_.empty())
        text += (text.empty() ? "host names " : ", host names ") + HostName(0) +
                (size_ ? " to " + HostName(*size_ - 1) : " on");
    return text;
}

}  // namespace tolm::linkora
