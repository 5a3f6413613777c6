// The audit log appends (never truncates) one JSON line per request, in a
// folder it makes; times are UTC to the millisecond.
#include "cli/delivery/audit_log.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "cli/command_line/failure.h"
#include "cli/output/utc_time.h"

namespace tolm::linkora {
namespace {

TEST(AuditLog, AppendsOneJsonLinePerRequest) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("linkora-audit-" + std::to_string(::getpid()));
    const std::string path = (folder / "deep" / "audit.jsonl").string();
    AuditEntry entry;
    entry.command = "apply";
    entry.time = UtcTimeText(std::chrono::sys_days{std::chrono::year{2024} / 2 / 29} +
                             std::chrono::milliseconds(86399999));
    entry.mac = "02-00-00-00-00-01";
    entry.changes = {{SettingField::kIp, std::nullopt, "10.77.0.5"},
                     {SettingField::kDhcp, "Off", "On"}};
    entry.result = "verified";
    for (int run = 0; run < 2; ++run) {
        AuditLog log(LogOptions{path, false});
        ASSERT_TRUE(log.Append(entry, nullptr));
        EXPECT_EQ(log.LinesWritten(), 1u);
    }
    std::ifstream file(path);
    std::string first, second, end;
    std::getline(file, first);
    std::getline(file, second);
    EXPECT_FALSE(std::getline(file, end)) << "two runs, two lines";
    EXPECT_EQ(first, second);
    const auto line = nlohmann::ordered_json::parse(first);
    EXPECT_EQ(line.begin().key(), "schema_version");
    EXPECT_EQ(line["time"], "2024-02-29T23:59:59.999Z");
    EXPECT_EQ(line["changes"][0].dump(), R"({"field":"ip","before":null,"after":"10.77.0.5"})");
    // DHCP is a boolean in every document, as in a scan's.
    EXPECT_EQ(line["changes"][1].dump(), R"({"field":"dhcp","before":false,"after":true})");
    EXPECT_TRUE(line["adapter"].is_null());
    std::filesystem::remove_all(folder);

    EXPECT_FALSE(AuditLog(LogOptions{path, true}).IsOn());
    EXPECT_THROW(AuditLog(LogOptions{"/proc/linkora/audit.jsonl", false}), Failure);
}

}  // namespace
}  // namespace tolm::linkora
