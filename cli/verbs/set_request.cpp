#include "cli/verbs/set_request.h"

#include "cli/command_line/failure.h"
#include "cli/command_line/options.h"
#include "password_rule.h"

namespace tolm::linkora {
namespace {

// The texts alone, every address left unchanged: the shortest request they
// can be part of, so that a text too long is told before anything is sent.
void CheckLengths(const client::ConfigureChanges& c, const std::string& host_name) {
    TOLM_ConfigureRequestType request = client::UnchangedRequest();
    request.bChangePassword = c.new_password ? 1 : 0;
    if (!client::CopyText(host_name, request.szHostName) ||
        !client::CopyText(c.password, request.szPassword) ||
        !client::CopyText(c.new_password.value_or(""), request.szNewPassword))
        throw Failure(kUsage, "a text holds more than 127 characters or a NUL");
    if (std::string why = client::WhyTooLong(request); !why.empty()) throw Failure(kUsage, why);
}

}  // namespace

SetRequest CheckSetOptions(const SetOptions& o) {
    SetRequest request;
    std::string error;
    const std::optional<client::Mac> mac = client::ParseMac(o.mac, &error);
    if (!mac) throw Failure(kUsage, error);
    request.mac = *mac;
    client::ConfigureChanges& c = request.changes;
    c.ip_address = AddressOption("--ip", o.ip);
    c.subnet_mask = AddressOption("--mask", o.mask);
    c.gateway = AddressOption("--gateway", o.gateway);
    c.dns1 = AddressOption("--dns1", o.dns1);
    c.dns2 = AddressOption("--dns2", o.dns2);
    if (o.dhcp) c.dhcp = *o.dhcp == "on";
    c.host_name = o.host_name;
    if (c.host_name && !client::IsLegalHostName(*c.host_name))
        throw Failure(kUsage, "illegal host name \"" + *c.host_name +
                                  "\": only letters, digits and '_' are allowed");
    if (!c.ip_address && !c.subnet_mask && !c.gateway && !c.dns1 && !c.dns2 && !c.dhcp &&
        !c.host_name && !o.passwords.new_password && !o.passwords.remove_password)
        throw Failure(kUsage,
                      "nothing to set: give at least one of --ip, --mask, --gateway, --dhcp, "
                      "--dns1, --dns2, --hostname, --new-password, --remove-password");
    CheckLengths(c, c.host_name.value_or(""));
    return request;
}

Plan PlanOf(const SetRequest& request) {
    PlannedModule module;
    module.mac = request.mac;
    module.settings = SettingsOf(request.changes);
    Plan plan;
    plan.modules.push_back(module);
    return plan;
}

void CheckPasswords(const SetRequest& request, const std::optional<std::string>& current,
                    const std::optional<std::string>& next) {
    std::string why = client::WhyPasswordCannotBeSent(current.value_or(""), "the password");
    if (why.empty()) why = client::WhyPasswordCannotBeSent(next.value_or(""), "the new password");
    if (!why.empty()) throw Failure(kUsage, why + "; nothing was sent");
    client::ConfigureChanges c = request.changes;
    c.password = current.value_or("");
    if (c.new_password || next) c.new_password = next.value_or("");
    CheckLengths(c, c.host_name.value_or(""));
}

}  // namespace tolm::linkora
