// A range's addresses and names, the plans linkora writes read back as the
// same plan, and the handover record's rows.
#include <gtest/gtest.h>

#include "cli/command_line/failure.h"
#include "cli/output/delivery_report.h"
#include "cli/output/handover_report.h"
#include "cli/output/plan_text.h"
#include "cli/plan/plan_reader.h"
#include "cli/range/numbering.h"
#include "record_builder.h"

namespace tolm::linkora {
namespace {

RangeOptions Range(const char* first, const char* last, const char* pattern) {
    RangeOptions o;
    o.first = first;
    if (last) o.last = last;
    if (pattern) o.host_name = pattern;
    return o;
}

std::string Refusal(const RangeOptions& options) {
    try {
        Numbering{options};
    } catch (const Failure& failure) {
        return failure.Code() == kUsage ? failure.what() : "not a usage failure";
    }
    return "";
}

TEST(Numbering, CountsAddressesAndNamesUp) {
    RangeOptions o = Range("10.77.0.250", "10.77.1.3", "press_{n:02}x{n}");
    o.start = 9;
    o.mask = "255.255.0.0";
    o.dhcp = "off";
    const Numbering n(o);
    EXPECT_EQ(n.Size(), 10u);
    EXPECT_EQ(SettingText(n.Settings(0), SettingField::kHostName), "press_09x9");
    // Across the byte boundary, and past two digits.
    EXPECT_EQ(SettingText(n.Settings(6), SettingField::kIp), "10.77.1.0");
    EXPECT_EQ(SettingText(n.Settings(9), SettingField::kHostName), "press_18x18");
    EXPECT_EQ(SettingText(n.Settings(9), SettingField::kSubnetMask), "255.255.0.0");
    EXPECT_EQ(SettingText(n.Settings(9), SettingField::kDhcp), "Off");
    EXPECT_FALSE(n.Settings(0).gateway);
    EXPECT_FALSE(Numbering(Range("10.77.0.1", nullptr, "p{n:03}")).Size());
    EXPECT_EQ(SettingText(Numbering(Range("10.77.0.1", nullptr, "p{n:03}")).Settings(41),
                          SettingField::kHostName),
              "p042");

    EXPECT_NE(Refusal(Range("10.77.0.9", "10.77.0.8", "p{n}")).find("comes before"),
              std::string::npos);
    EXPECT_NE(Refusal(Range("10.77.0.300", nullptr, "p{n}")).find("--ip"), std::string::npos);
    EXPECT_NE(Refusal(Range("10.77.0.1", nullptr, "press-{n}")).find("host-name rule"),
              std::string::npos);
    EXPECT_NE(Refusal(Range("10.77.0.1", nullptr, "p{n:2}")).find("{n:2} is not"),
              std::string::npos);
    EXPECT_NE(Refusal(Range("10.77.0.1", nullptr, "p{n")).find("is not"), std::string::npos);
    EXPECT_NE(Refusal(Range("10.77.0.1", "10.77.0.2", "press")).find("the same name"),
              std::string::npos);
    EXPECT_EQ(Refusal(Range("10.77.0.1", "10.77.0.1", "press")), "");
}

TEST(PlanText, ReadsBackAsTheSamePlanAndRowsMayWait) {
    Plan plan;
    for (int n = 0; n < 2; ++n) {
        PlannedModule m;
        m.mac = {0x02, 0, 0, 0, 0x0A, static_cast<std::uint8_t>(n + 1)};
        m.settings.ip = 0x0A4D00C9 + static_cast<std::uint32_t>(n);
        m.settings.host_name = "press_" + std::to_string(n + 1);
        if (n == 1) m.settings.dhcp = true;
        plan.modules.push_back(m);
    }
    EXPECT_EQ(PlanCsvText(plan),
              "MAC,IP,DHCP,Host name\n02-00-00-00-0A-01,10.77.0.201,,press_1\n"
              "02-00-00-00-0A-02,10.77.0.202,On,press_2\n");
    for (const std::string& text : {PlanCsvText(plan), PlanJsonText(plan)}) {
        const PlanReading read = ReadPlan(text, "plan");
        ASSERT_TRUE(read.problems.empty()) << text;
        ASSERT_EQ(read.plan.modules.size(), 2u);
        for (std::size_t n = 0; n < 2; ++n) {
            EXPECT_EQ(read.plan.modules[n].mac, plan.modules[n].mac);
            EXPECT_EQ(read.plan.modules[n].settings.ip, plan.modules[n].settings.ip);
            EXPECT_EQ(read.plan.modules[n].settings.dhcp, plan.modules[n].settings.dhcp);
            EXPECT_EQ(read.plan.modules[n].settings.host_name, plan.modules[n].settings.host_name);
        }
    }
    // assign's rows wait for modules: no MAC column, or an empty MAC; elsewhere a plan needs MACs.
    const std::string rows = "IP,Host name\n10.77.0.201,press_1\n10.77.0.202,press_2\n";
    const PlanReading waiting = ReadPlan(rows, "rows", MacRule::kOptional);
    ASSERT_TRUE(waiting.problems.empty());
    ASSERT_EQ(waiting.plan.modules.size(), 2u);
    EXPECT_FALSE(waiting.plan.modules[1].has_mac);
    EXPECT_EQ(waiting.plan.modules[1].where.line, 3);
    EXPECT_FALSE(ReadPlan(rows, "rows").problems.empty());
    const PlanReading mixed = ReadPlan("MAC,IP\n,10.77.0.201\n02-00-00-00-0A-01,10.77.0.202\n",
                                       "rows", MacRule::kOptional);
    ASSERT_TRUE(mixed.problems.empty());
    EXPECT_FALSE(mixed.plan.modules[0].has_mac);
    EXPECT_TRUE(mixed.plan.modules[1].has_mac);
}

TEST(HandoverReport, OneRowPerModuleWithThePlannedFieldsBeforeAndAfter) {
    EXPECT_EQ(ReportFormatOf("line.CSV"), ReportFormat::kCsv);
    EXPECT_EQ(ReportFormatOf("dir.html/line.htm"), ReportFormat::kHtml);
    EXPECT_EQ(ReportFormatOf("line.csv.json"), ReportFormat::kJson);

    DeliveryRecord record;
    record.command = "assign";
    record.user = "tech";
    ModuleRun run;
    run.planned.settings.ip = 0x0A4D00C9;
    run.planned.settings.host_name = "press_1";
    run.planned.mac = {0x02, 0, 0, 0, 0, 0x01};
    run.before = MakeAnswer(0x01, 0x0A4D00FA);
    SetText(run.before->record.szHostName, run.before->record.bHostNameValid, "fa<b>&");
    run.before->adapter = "tl0";
    run.after = MakeAnswer(0x01, 0x0A4D00C9);
    SetText(run.after->record.szHostName, run.after->record.bHostNameValid, "press_1");
    run.after->adapter = "tl0";
    run.outcome = Outcome::kVerified;
    run.sent_at = "2026-12-09T20:00:00.000Z";
    record.runs.push_back(run);
    EXPECT_EQ(HandoverCsv(record),
              "MAC,before,after,result,time,adapter,user\n02-00-00-00-00-01,"
              "\"IP 10.77.0.250, Host name fa<b>&\",\"IP 10.77.0.201, Host name press_1\","
              "verified,2026-12-09T20:00:00.000Z,tl0,tech\n");
    const std::string html = HandoverHtml(record);
    EXPECT_NE(html.find("<td>IP 10.77.0.250, Host name fa&lt;b&gt;&amp;</td>"), std::string::npos);
    EXPECT_EQ(html.find("<b>"), std::string::npos);
}

}  // namespace
}  // namespace tolm::linkora
