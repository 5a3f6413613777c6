#include "cli/delivery/audit_log.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "cli/command_line/failure.h"
#include "cli/output/json_document.h"
#include "cli/platform/local_user.h"

namespace tolm::linkora {
namespace {

using json = nlohmann::ordered_json;

json Text(const std::string& text) {
    return text.empty() ? json(nullptr) : json(text);
}

}  // namespace

json AuditLineJson(const AuditEntry& e, const std::string& computer, const std::string& user) {
    json changes = json::array();
    for (const FieldChange& c : e.changes) changes.push_back(ChangeJson(c));
    return Document({{"time", e.time},
                     {"command", e.command},
                     {"computer", Text(computer)},
                     {"user", Text(user)},
                     {"adapter", Text(e.adapter)},
                     {"mac", e.mac},
                     {"sender", Text(e.sender)},
                     {"changes", changes},
                     {"password_changed", e.password_changed},
                     {"result", e.result}},
                    kAuditSchemaVersion);
}

std::string DefaultAuditLogPath() {
    const std::string folder = StateFolder();
    if (folder.empty()) return {};
    return (std::filesystem::path(folder) / "linkora" / "audit.jsonl").string();
}

AuditLog::AuditLog(const LogOptions& options) {
    if (options.off) return;
    path_ = options.file.empty() ? DefaultAuditLogPath() : options.file;
    const std::string remedy = "; name another with --log FILE, or give --no-log; nothing was sent";
    if (path_.empty())
        throw Failure(kFailed,
                      "no state folder for the audit log (neither XDG_STATE_HOME nor HOME "
                      "is set)" +
                          remedy);
    const std::filesystem::path folder = std::filesystem::path(path_).parent_path();
    std::error_code error;
    if (!folder.empty()) std::filesystem::create_directories(folder, error);
    if (error)
        throw Failure(kFailed, "cannot make the audit log's folder " + folder.string() + ": " +
                                   error.message() + remedy);
    file_ = std::fopen(path_.c_str(), "ab");
    if (file_ == nullptr)
        throw Failure(kFailed,
                      "cannot write the audit log " + path_ + ": " + std::strerror(errno) + remedy);
    computer_ = ComputerName();
    user_ = UserName();
}

AuditLog::~AuditLog() {
    if (file_ != nullptr) std::fclose(file_);
}

bool AuditLog::Append(const AuditEntry& entry, std::string* error) {
    if (file_ == nullptr) return true;
    const std::string line = JsonText(AuditLineJson(entry, computer_, user_), -1) + "\n";
    // One write per line, so that lines of runs at the same time do not mix.
    const bool written =
        std::fwrite(line.data(), 1, line.size(), file_) == line.size() && std::fflush(file_) == 0;
    if (!written) {
        if (error != nullptr)
            *error = "cannot write the audit log " + path_ + ": " + std::strerror(errno);
        return false;
    }
    ++lines_;
    return true;
}

}  // namespace tolm::linkora
