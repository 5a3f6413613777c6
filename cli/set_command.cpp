#include <cstdio>

#include "collect.h"
#include "commands.h"
#include "failure.h"
#include "passwords.h"
#include "record_text.h"
#include "set_request.h"
#include "verify.h"

namespace tolm::linkora {
namespace {

namespace client = tolm::client;

void Say(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

// Scans until the module answers; nothing when it does not within limits.
std::optional<Answer> FindModule(TolmSession& session, const client::Mac& mac,
                                 Milliseconds max_wait) {
    ScanLimits limits;
    limits.quiet = limits.min_wait = limits.max_wait = max_wait;
    ModuleList list;
    Scan(session, limits, list, [&](const ModuleList& l) { return l.Find(mac.data()) != nullptr; });
    const Answer* found = list.Find(mac.data());
    if (found == nullptr) return std::nullopt;
    return *found;
}

std::string Through(const Answer& module) {
    return module.adapter.empty() ? "" : " through " + module.adapter;
}

// Waits for "Reconfigured:" or for this module's "Invalid Password:".
void AwaitConfirmation(TolmSession& session, const client::Mac& mac, Milliseconds wait) {
    const Clock::time_point deadline = Clock::now() + wait;
    for (;;) {
        while (session.TakeAnswer()) {
        }
        if (session.TakeReconfiguredCount() > 0) return;
        while (const std::optional<client::Mac> refused = session.TakeInvalidPasswordMac())
            if (*refused == mac)
                throw Failure(kInvalidPassword, "the module " + client::MacText(mac.data()) +
                                                    " refused the password; nothing was changed");
        if (Clock::now() >= deadline) break;
        session.WaitUntil(deadline);
    }
    throw Failure(kNoConfirmation, "the module did not confirm the request within " +
                                       std::to_string(wait.count()) +
                                       " ms; it may or may not have applied it");
}

// Scans again until the module reports the new values or time is up.
void Verify(TolmSession& session, const SetRequest& request, Milliseconds wait) {
    const Clock::time_point deadline = Clock::now() + wait;
    std::vector<std::string> mismatches{"the module did not answer the scans after the change"};
    while (Clock::now() < deadline) {
        const auto left = std::chrono::duration_cast<Milliseconds>(deadline - Clock::now());
        const std::optional<Answer> module =
            FindModule(session, request.mac, std::min(left, Milliseconds(1000)));
        if (!module) continue;
        mismatches = Mismatches(request.changes, module->record);
        if (mismatches.empty()) return;
        session.WaitUntil(std::min(deadline, Clock::now() + Milliseconds(200)));
    }
    std::string text = "the module does not report what was set:";
    for (const std::string& line : mismatches) text += "\n  " + line;
    throw Failure(kNotVerified, text);
}

}  // namespace

int RunSet(const CommandLine& c) {
    SetRequest request = CheckSetOptions(c.set);
    Passwords passwords = ReadGivenPasswords(c.set);
    CheckPasswordLengths(request, passwords.current, passwords.next);
    const std::string mac_text = client::MacText(request.mac.data());

    TolmSession session(c.library.empty() ? DefaultLibraryPath() : c.library, c.adapter);
    const std::optional<Answer> module = FindModule(session, request.mac, c.set.find_wait);
    if (!module) throw Failure(kNotFound, "the module " + mac_text + " did not answer the scan");
    const TOLM_ModuleScanResponseType& record = module->record;
    Say("Found " + mac_text + " at " + client::ListRowTexts(record)[client::kColumnIp] +
        " (host name " + client::HostNameText(record) + ")" + Through(*module) + ".");

    AskMissingPasswords(c.set, record.bPswdValid != 0 && record.bPswdEnabled != 0, mac_text,
                        passwords);
    CheckPasswordLengths(request, passwords.current, passwords.next);
    request.changes.password = passwords.current.value_or("");
    if (c.set.new_password) request.changes.new_password = passwords.next.value_or("");
    std::string error;
    const std::optional<TOLM_ConfigureRequestType> configure =
        client::BuildConfigureRequest(record, request.changes, &error);
    if (!configure) throw Failure(kUsage, error);

    session.TakeReconfiguredCount();
    while (session.TakeInvalidPasswordMac()) {
    }
    session.SendConfigure(*configure, *module);
    Say("Sent: " + DescribeChanges(request.changes) + ".");
    AwaitConfirmation(session, request.mac, c.set.confirm_wait);
    Say("Reconfigured: the module confirmed the request.");
    if (c.set.no_verify) return kSuccess;
    Verify(session, request, c.set.verify_wait);
    Say("Verified: the module reports the new values.");
    return kSuccess;
}

}  // namespace tolm::linkora
