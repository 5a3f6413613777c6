#include "module.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace tolm::sim {
namespace {

// The longest text the receiving record holds without cutting it.
constexpr std::size_t kMaxText = 127;

constexpr std::array<std::string_view, 12> kResponseKeys = {"protocol version = ",
                                                            "fb type = ",
                                                            "module version = ",
                                                            "mac = ",
                                                            "ip = ",
                                                            "sn = ",
                                                            "gw = ",
                                                            "dhcp = ",
                                                            "pswd = ",
                                                            "hn = ",
                                                            "dns1 = ",
                                                            "dns2 = "};

bool ContainsNoCase(std::string_view text, std::string_view key) {
    const auto same = [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) ==
               std::tolower(static_cast<unsigned char>(b));
    };
    return std::search(text.begin(), text.end(), key.begin(), key.end(), same) != text.end();
}

std::string VersionText(const Version& version, bool with_build) {
    std::string text = std::to_string(version.major) + '.' + std::to_string(version.minor);
    if (with_build) text += '.' + std::to_string(version.build);
    return text;
}

}  // namespace

std::string ComposeScanResponse(const Module& module) {
    if (module.fixed_response) return *module.fixed_response;
    std::string text;
    text.reserve(320);
    text += "protocol version = " + VersionText(module.protocol_version, false) + ';';
    text += "fb type = " + module.fb_type + ';';
    text += "module version = " + VersionText(module.module_version, true) + ';';
    text += "mac = " + FormatMac(module.mac) + ';';
    text += "ip = " + FormatIpv4(module.ip) + ';';
    text += "sn = " + FormatIpv4(module.subnet) + ';';
    text += "gw = " + FormatIpv4(module.gateway) + ';';
    text += module.dhcp ? "dhcp = on;" : "dhcp = off;";
    text += module.password.empty() ? "pswd = off;" : "pswd = on;";
    text += "hn = " + module.host_name + ';';
    text += "dns1 = " + FormatIpv4(module.dns1) + ';';
    text += "dns2 = " + FormatIpv4(module.dns2) + ';';
    text += '\0';
    return text;
}

std::string WhyNotResponseText(std::string_view text) {
    if (text.size() > kMaxText) return "longer than 127 characters";
    if (text.find(';') != std::string_view::npos) return "contains ';'";
    if (text.find('\0') != std::string_view::npos) return "contains a NUL";
    for (std::string_view key : kResponseKeys)
        if (ContainsNoCase(text, key)) return "contains the key \"" + std::string(key) + "\"";
    return {};
}

std::string WhyNotPassword(std::string_view text) {
    if (text.size() > kMaxText) return "longer than 127 characters";
    if (text.find(';') != std::string_view::npos) return "contains ';'";
    if (text.find('\0') != std::string_view::npos) return "contains a NUL";
    return {};
}

}  // namespace tolm::sim
