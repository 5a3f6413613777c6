#include "command_line.h"

#include <functional>
#include <map>
#include <optional>
#include <string_view>

#include "description_file.h"
#include "escape.h"
#include "module_settings.h"

namespace tolm::sim {
namespace {

constexpr unsigned kMaxModules = 100000;
constexpr unsigned kMaxDatagram = 65507;

enum class Group { modules, serve, send, mode };

struct Flag {
    Group group;
    bool takes_value;
    std::function<void(Options&, const std::string& value)> apply;
};

unsigned ParseCount(const std::string& flag, const std::string& text, unsigned min, unsigned max) {
    unsigned long long value = 0;
    bool valid = !text.empty() && text.size() <= 10;
    for (char c : text) {
        valid = valid && c >= '0' && c <= '9';
        if (valid) value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (!valid || value < min || value > max)
        throw UsageError(flag + ": expected a whole number " + std::to_string(min) + ".." +
                         std::to_string(max) + ", got \"" + text + "\"");
    return static_cast<unsigned>(value);
}

Ipv4 ParseAddressFlag(const std::string& flag, const std::string& text) {
    const auto address = ParseIpv4(text);
    if (!address) throw UsageError(flag + ": not an IPv4 address: " + text);
    return *address;
}

std::string ParseTextFlag(const std::string& flag, const std::string& text) {
    const std::string why = WhyNotResponseText(text);
    if (!why.empty()) throw UsageError(flag + ": " + why);
    return text;
}

// A repeatable flag replaces the default on its first use and adds after.
template <typename T>
void AddRepeated(std::vector<T>& list, bool& replaced, T value) {
    if (!replaced) list.clear();
    replaced = true;
    list.push_back(std::move(value));
}

std::map<std::string, Flag> MakeFlags(bool& fb_types_given, bool& versions_given) {
    using G = Group;
    std::map<std::string, Flag> flags;
    const auto value_flag = [&](const char* name, Group group, auto apply) {
        flags[name] = Flag{group, true, [name, apply](Options& o, const std::string& v) {
                               apply(o, std::string(name), v);
                           }};
    };
    const auto switch_flag = [&](const char* name, Group group, auto apply) {
        flags[name] = Flag{group, false, [apply](Options& o, const std::string&) { apply(o); }};
    };
    value_flag("--modules", G::modules, [](Options& o, const std::string& f, const std::string& v) {
        o.module_count = ParseCount(f, v, 1, kMaxModules);
    });
    value_flag("--config", G::modules,
               [](Options& o, const std::string&, const std::string& v) { o.config_path = v; });
    value_flag("--mac-base", G::modules,
               [](Options& o, const std::string& f, const std::string& v) {
                   const auto mac = ParseMac(v);
                   if (!mac) throw UsageError(f + ": not a MAC address: " + v);
                   o.defaults.mac_base = *mac;
               });
    value_flag("--ip-base", G::modules, [](Options& o, const std::string& f, const std::string& v) {
        o.defaults.ip_base = ParseAddressFlag(f, v);
    });
    value_flag("--subnet", G::modules, [](Options& o, const std::string& f, const std::string& v) {
        o.defaults.subnet = ParseAddressFlag(f, v);
    });
    value_flag("--gateway", G::modules, [](Options& o, const std::string& f, const std::string& v) {
        o.defaults.gateway = ParseAddressFlag(f, v);
    });
    value_flag("--dns1", G::modules, [](Options& o, const std::string& f, const std::string& v) {
        o.defaults.dns1 = ParseAddressFlag(f, v);
    });
    value_flag("--dns2", G::modules, [](Options& o, const std::string& f, const std::string& v) {
        o.defaults.dns2 = ParseAddressFlag(f, v);
    });
    value_flag("--fb-type", G::modules,
               [&fb_types_given](Options& o, const std::string& f, const std::string& v) {
                   AddRepeated(o.defaults.fb_types, fb_types_given, ParseTextFlag(f, v));
               });
    value_flag("--module-version", G::modules,
               [&versions_given](Options& o, const std::string& f, const std::string& v) {
                   const auto version = ParseVersion(v, true);
                   if (!version) throw UsageError(f + ": not a version A.B.C: " + v);
                   AddRepeated(o.defaults.module_versions, versions_given, *version);
               });
    value_flag("--protocol-version", G::modules,
               [](Options& o, const std::string& f, const std::string& v) {
                   const auto version = ParseVersion(v, false);
                   if (!version) throw UsageError(f + ": not a version A.B: " + v);
                   o.defaults.protocol_version = *version;
               });
    value_flag("--dhcp", G::modules, [](Options& o, const std::string& f, const std::string& v) {
        const auto on = ParseOnOff(v);
        if (!on) throw UsageError(f + ": expected on or off, got " + v);
        o.defaults.dhcp = *on;
    });
    value_flag("--host-name", G::modules,
               [](Options& o, const std::string& f, const std::string& v) {
                   o.defaults.host_name_prefix = ParseTextFlag(f, v);
               });
    value_flag("--password", G::modules,
               [](Options& o, const std::string& f, const std::string& v) {
                   const std::string why = WhyNotPassword(v);
                   if (!why.empty() || v.empty())
                       throw UsageError(f + ": " + (v.empty() ? std::string("empty") : why));
                   o.defaults.password = v;
               });
    value_flag("--delay-max-ms", G::serve,
               [](Options& o, const std::string& f, const std::string& v) {
                   o.delay_max_ms = ParseCount(f, v, 0, 600000);
               });
    value_flag("--seed", G::serve, [](Options& o, const std::string& f, const std::string& v) {
        o.seed = ParseCount(f, v, 0, 4294967295u);
    });
    switch_flag("--burst", G::serve, [](Options& o) { o.burst = true; });
    value_flag("--log", G::serve,
               [](Options& o, const std::string&, const std::string& v) { o.log_path = v; });
    value_flag("--ready-file", G::serve,
               [](Options& o, const std::string&, const std::string& v) { o.ready_path = v; });
    value_flag("--send", G::send, [](Options& o, const std::string& f, const std::string& v) {
        try {
            o.datagrams.push_back(DecodeEscapes(v));
        } catch (const std::invalid_argument& error) {
            throw UsageError(f + ": " + error.what());
        }
    });
    value_flag("--send-hex", G::send, [](Options& o, const std::string& f, const std::string& v) {
        try {
            o.datagrams.push_back(DecodeHex(v));
        } catch (const std::invalid_argument& error) {
            throw UsageError(f + ": " + error.what());
        }
    });
    value_flag("--send-size", G::send, [](Options& o, const std::string& f, const std::string& v) {
        o.datagrams.push_back(std::string(ParseCount(f, v, 0, kMaxDatagram), 'A'));
    });
    switch_flag("--send-empty", G::send, [](Options& o) { o.datagrams.emplace_back(); });
    value_flag("--repeat", G::send, [](Options& o, const std::string& f, const std::string& v) {
        o.repeat = ParseCount(f, v, 1, 1000000000);
    });
    value_flag("--interval-us", G::send,
               [](Options& o, const std::string& f, const std::string& v) {
                   o.interval_us = ParseCount(f, v, 0, 60000000);
               });
    switch_flag("--check-config", G::mode, [](Options& o) { o.mode = Mode::check_config; });
    switch_flag("--print-responses", G::mode, [](Options& o) { o.mode = Mode::print_responses; });
    return flags;
}

void CheckCombination(const Options& options, const std::map<Group, std::string>& first_of,
                      std::size_t mode_flags, bool module_count_given) {
    const auto given = [&](Group group) { return first_of.count(group) != 0; };
    if (mode_flags > 1) throw UsageError("--check-config and --print-responses exclude each other");
    if (given(Group::send)) {
        if (options.datagrams.empty())
            throw UsageError(first_of.at(Group::send) + " needs a --send option");
        for (Group other : {Group::modules, Group::serve, Group::mode})
            if (given(other))
                throw UsageError(first_of.at(other) + " does not go with sending datagrams");
    }
    if (given(Group::mode) && given(Group::serve))
        throw UsageError(first_of.at(Group::serve) + " does not go with " +
                         first_of.at(Group::mode));
    if (!options.config_path.empty() && module_count_given)
        throw UsageError("--modules does not go with --config: the file lists the modules");
    if (options.burst && options.delay_max_ms > 0)
        throw UsageError("--burst answers at once; it does not go with --delay-max-ms");
}

}  // namespace

Options ParseCommandLine(int argc, const char* const* argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            options.mode = Mode::help;
            return options;
        }
    }
    bool fb_types_given = false;
    bool versions_given = false;
    const std::map<std::string, Flag> flags = MakeFlags(fb_types_given, versions_given);
    std::map<Group, std::string> first_of;
    std::size_t mode_flags = 0;
    bool module_count_given = false;
    for (int i = 1; i < argc; ++i) {
        std::string name = argv[i];
        std::optional<std::string> value;
        if (const std::size_t equals = name.find('=');
            name.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
        }
        const auto flag = flags.find(name);
        if (flag == flags.end()) throw UsageError("unknown option " + name + " (see --help)");
        if (flag->second.takes_value && !value) {
            if (i + 1 == argc) throw UsageError(name + " needs a value");
            value = argv[++i];
        }
        if (!flag->second.takes_value && value) throw UsageError(name + " takes no value");
        first_of.emplace(flag->second.group, name);
        mode_flags += flag->second.group == Group::mode ? 1 : 0;
        module_count_given = module_count_given || name == "--modules";
        flag->second.apply(options, value.value_or(""));
    }
    if (!options.datagrams.empty()) options.mode = Mode::send;
    CheckCombination(options, first_of, mode_flags, module_count_given);
    return options;
}

std::vector<Module> BuildModules(const Options& options) {
    if (!options.config_path.empty())
        return LoadDescriptionFile(options.config_path, options.defaults);
    return MakeModules(options.defaults, options.module_count);
}

}  // namespace tolm::sim
