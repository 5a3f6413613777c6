#include "sim/command_line.h"

#include <CLI/CLI.hpp>
#include <functional>
#include <map>
#include <string_view>

#include "answer_loss.h"
#include "description_file.h"
#include "escape.h"
#include "module_settings.h"

namespace tolm::sim {
namespace {

constexpr unsigned kMaxModules = 100000;
constexpr unsigned kMaxDatagram = 65507;

enum class Group { kModules, kServe, kSend, kMode };

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
    value_flag("--modules", G::kModules,
               [](Options& o, const std::string& f, const std::string& v) {
                   o.module_count = ParseCount(f, v, 1, kMaxModules);
               });
    value_flag("--config", G::kModules,
               [](Options& o, const std::string&, const std::string& v) { o.config_path = v; });
    value_flag("--mac-base", G::kModules,
               [](Options& o, const std::string& f, const std::string& v) {
                   const auto mac = ParseMac(v);
                   if (!mac) throw UsageError(f + ": not a MAC address: " + v);
                   o.defaults.mac_base = *mac;
               });
    value_flag("--ip-base", G::kModules,
               [](Options& o, const std::string& f, const std::string& v) {
                   o.defaults.ip_base = ParseAddressFlag(f, v);
               });
    value_flag("--subnet", G::kModules, [](Options& o, const std::string& f, const std::string& v) {
        o.defaults.subnet = ParseAddressFlag(f, v);
    });
    value_flag("--gateway", G::kModules,
               [](Options& o, const std::string& f, const std::string& v) {
                   o.defaults.gateway = ParseAddressFlag(f, v);
               });
    value_flag("--dns1", G::kModules, [](Options& o, const std::string& f, const std::string& v) {
        o.defaults.dns1 = ParseAddressFlag(f, v);
    });
    value_flag("--dns2", G::kModules, [](Options& o, const std::string& f, const std::string& v) {
        o.defaults.dns2 = ParseAddressFlag(f, v);
    });
    value_flag("--fb-type", G::kModules,
               [&fb_types_given](Options& o, const std::string& f, const std::string& v) {
                   AddRepeated(o.defaults.fb_types, fb_types_given, ParseTextFlag(f, v));
               });
    value_flag("--module-version", G::kModules,
               [&versions_given](Options& o, const std::string& f, const std::string& v) {
                   const auto version = ParseVersion(v, true);
                   if (!version) throw UsageError(f + ": not a version A.B.C: " + v);
                   AddRepeated(o.defaults.module_versions, versions_given, *version);
               });
    value_flag("--protocol-version", G::kModules,
               [](Options& o, const std::string& f, const std::string& v) {
                   const auto version = ParseVersion(v, false);
                   if (!version) throw UsageError(f + ": not a version A.B: " + v);
                   o.defaults.protocol_version = *version;
               });
    value_flag("--dhcp", G::kModules, [](Options& o, const std::string& f, const std::string& v) {
        const auto on = ParseOnOff(v);
        if (!on) throw UsageError(f + ": expected on or off, got " + v);
        o.defaults.dhcp = *on;
    });
    value_flag("--host-name", G::kModules,
               [](Options& o, const std::string& f, const std::string& v) {
                   o.defaults.host_name_prefix = ParseTextFlag(f, v);
               });
    value_flag("--password", G::kModules,
               [](Options& o, const std::string& f, const std::string& v) {
                   const std::string why = WhyNotPassword(v);
                   if (!why.empty() || v.empty())
                       throw UsageError(f + ": " + (v.empty() ? std::string("empty") : why));
                   o.defaults.password = v;
               });
    value_flag("--delay-max-ms", G::kServe,
               [](Options& o, const std::string& f, const std::string& v) {
                   o.delay_max_ms = ParseCount(f, v, 0, 600000);
               });
    value_flag("--seed", G::kServe, [](Options& o, const std::string& f, const std::string& v) {
        o.seed = ParseCount(f, v, 0, 4294967295u);
    });
    value_flag("--loss", G::kServe, [](Options& o, const std::string& f, const std::string& v) {
        const auto share = ParseShare(v);
        if (!share) throw UsageError(f + ": expected a share from 0 to 1 such as 0.1, got " + v);
        o.loss = *share;
    });
    switch_flag("--burst", G::kServe, [](Options& o) { o.burst = true; });
    switch_flag("--own-addresses", G::kServe, [](Options& o) { o.own_addresses = true; });
    value_flag("--answers-per-second", G::kServe,
               [](Options& o, const std::string& f, const std::string& v) {
                   o.answers_per_second = ParseCount(f, v, 1, 1000000);
               });
    value_flag("--up-after-ms", G::kServe,
               [](Options& o, const std::string& f, const std::string& v) {
                   o.up_after_ms = ParseCount(f, v, 0, 3600000);
               });
    value_flag("--up-every-ms", G::kServe,
               [](Options& o, const std::string& f, const std::string& v) {
                   o.up_every_ms = ParseCount(f, v, 0, 3600000);
               });
    value_flag("--log", G::kServe,
               [](Options& o, const std::string&, const std::string& v) { o.log_path = v; });
    value_flag("--ready-file", G::kServe,
               [](Options& o, const std::string&, const std::string& v) { o.ready_path = v; });
    value_flag("--send", G::kSend, [](Options& o, const std::string& f, const std::string& v) {
        try {
            o.datagrams.push_back(DecodeEscapes(v));
        } catch (const std::invalid_argument& error) {
            throw UsageError(f + ": " + error.what());
        }
    });
    value_flag("--send-hex", G::kSend, [](Options& o, const std::string& f, const std::string& v) {
        try {
            o.datagrams.push_back(DecodeHex(v));
        } catch (const std::invalid_argument& error) {
            throw UsageError(f + ": " + error.what());
        }
    });
    value_flag("--send-size", G::kSend, [](Options& o, const std::string& f, const std::string& v) {
        o.datagrams.push_back(std::string(ParseCount(f, v, 0, kMaxDatagram), 'A'));
    });
    switch_flag("--send-empty", G::kSend, [](Options& o) { o.datagrams.emplace_back(); });
    value_flag("--repeat", G::kSend, [](Options& o, const std::string& f, const std::string& v) {
        o.repeat = ParseCount(f, v, 1, 1000000000);
    });
    value_flag("--interval-us", G::kSend,
               [](Options& o, const std::string& f, const std::string& v) {
                   o.interval_us = ParseCount(f, v, 0, 60000000);
               });
    value_flag("--rate", G::kSend, [](Options& o, const std::string& f, const std::string& v) {
        o.rate = ParseCount(f, v, 1, 10000000);
    });
    switch_flag("--check-config", G::kMode, [](Options& o) { o.mode = Mode::kCheckConfig; });
    switch_flag("--print-responses", G::kMode, [](Options& o) { o.mode = Mode::kPrintResponses; });
    return flags;
}

// CLI11's words for a command line it cannot split, in ours.
std::string UsageErrorOf(const CLI::ParseError& error) {
    const std::string what = error.what();
    const std::string option = what.substr(0, what.find(':'));
    if (what.find("flag override") != std::string::npos)
        return "--" + what.substr(0, what.find(' ')) + " takes no value";
    if (what.find("required") != std::string::npos) return option + " needs a value";
    return what;
}

void CheckCombination(const Options& options, const std::map<Group, std::string>& first_of,
                      std::size_t mode_flags, bool module_count_given) {
    const auto given = [&](Group group) { return first_of.count(group) != 0; };
    if (mode_flags > 1) throw UsageError("--check-config and --print-responses exclude each other");
    if (given(Group::kSend)) {
        if (options.datagrams.empty())
            throw UsageError(first_of.at(Group::kSend) + " needs a --send option");
        for (Group other : {Group::kModules, Group::kServe, Group::kMode})
            if (given(other))
                throw UsageError(first_of.at(other) + " does not go with sending datagrams");
    }
    if (given(Group::kMode) && given(Group::kServe))
        throw UsageError(first_of.at(Group::kServe) + " does not go with " +
                         first_of.at(Group::kMode));
    if (!options.config_path.empty() && module_count_given)
        throw UsageError("--modules does not go with --config: the file lists the modules");
    if (options.rate > 0 && options.interval_us > 0)
        throw UsageError("--rate paces the datagrams itself; it does not go with --interval-us");
    if (options.burst && options.delay_max_ms > 0)
        throw UsageError("--burst answers at once; it does not go with --delay-max-ms");
    if (options.burst && options.answers_per_second > 0)
        throw UsageError("--burst answers at once; it does not go with --answers-per-second");
}

}  // namespace

// Splits the words with CLI11, then applies each option in the order given,
// so that the datagrams of the send options keep their order.
Options ParseCommandLine(int argc, const char* const* argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            options.mode = Mode::kHelp;
            return options;
        }
    }
    bool fb_types_given = false;
    bool versions_given = false;
    const std::map<std::string, Flag> flags = MakeFlags(fb_types_given, versions_given);
    CLI::App app{"tolm-sim"};
    app.set_help_flag();
    app.allow_extras();
    std::map<const CLI::Option*, const std::pair<const std::string, Flag>*> flag_of;
    for (const auto& entry : flags) {
        CLI::Option* option = entry.second.takes_value
                                  ? app.add_option(entry.first)
                                        ->expected(1)
                                        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
                                  : app.add_flag(entry.first)->disable_flag_override();
        flag_of[option] = &entry;
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        throw UsageError(UsageErrorOf(error));
    }
    if (!app.remaining().empty())
        throw UsageError("unknown option " + app.remaining().front() + " (see --help)");

    std::map<Group, std::string> first_of;
    std::map<const CLI::Option*, std::size_t> used;
    std::size_t mode_flags = 0;
    bool module_count_given = false;
    for (const CLI::Option* option : app.parse_order()) {
        const auto& [name, flag] = *flag_of.at(option);
        first_of.emplace(flag.group, name);
        mode_flags += flag.group == Group::kMode ? 1 : 0;
        module_count_given = module_count_given || name == "--modules";
        const std::size_t index = used[option]++;
        flag.apply(options, flag.takes_value ? option->results().at(index) : std::string());
    }
    if (!options.datagrams.empty()) options.mode = Mode::kSend;
    CheckCombination(options, first_of, mode_flags, module_count_given);
    return options;
}

std::vector<Module> BuildModules(const Options& options) {
    if (!options.config_path.empty())
        return LoadDescriptionFile(options.config_path, options.defaults);
    return MakeModules(options.defaults, options.module_count);
}

}  // namespace tolm::sim
