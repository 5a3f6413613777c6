// The audit log: JSON lines appended to a file that outlives the run, so that
// what was changed, from which computer, by whom and with what result can be
// told later: one line ("sent", with the values before) as each request goes,
// one with its outcome once known. Never a password.
#pragma once

#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli/plan/module_settings.h"

namespace tolm::linkora {

// Where the audit log goes: the user's state folder unless a file is named.
struct LogOptions {
    std::string file;  // empty: linkora/audit.jsonl in the user's state folder
    bool off = false;  // --no-log
};

struct AuditEntry {
    std::string command;  // "set" or "apply"
    std::string time;     // when the request was sent, UTC
    std::string adapter, mac, sender;
    std::vector<FieldChange> changes;
    bool password_changed = false;
    std::string result;
};

nlohmann::ordered_json AuditLineJson(const AuditEntry& entry, const std::string& computer,
                                     const std::string& user);

// linkora/audit.jsonl in the user's state folder; empty when there is none.
std::string DefaultAuditLogPath();

class AuditLog {
  public:
    // Opens the log for appending, its folder made where missing, so that a
    // log that cannot be written stops the run before anything is sent (a
    // failure naming it and why). With --no-log there is no log.
    explicit AuditLog(const LogOptions& options);
    ~AuditLog();
    AuditLog(const AuditLog&) = delete;
    AuditLog& operator=(const AuditLog&) = delete;

    bool IsOn() const { return file_ != nullptr; }
    const std::string& Path() const { return path_; }
    std::size_t LinesWritten() const { return lines_; }

    // One line, written and flushed at once; false and why in *error when it
    // could not be.
    bool Append(const AuditEntry& entry, std::string* error);

  private:
    std::string path_;
    std::FILE* file_ = nullptr;
    std::string computer_, user_;
    std::size_t lines_ = 0;
};

}  // namespace tolm::linkora
