// The scan's output: JSON read back by a parser, CSV quoting, the table's
// adapter column and the answers without MAC.
#include "cli/output/scan_report.h"

#include <gtest/gtest.h>

#include "cli/output/csv_text.h"
#include "record_builder.h"

namespace tolm::linkora {
namespace {

using nlohmann::json;

ScanReport Report(std::vector<std::string> adapters) {
    ScanReport report;
    Answer first = MakeAnswer(1, 0x0A4D0065);
    first.adapter = "tl0";
    first.sender = 0x0A4D000B;
    SetText(first.record.szHostName, first.record.bHostNameValid, "press_1");
    first.record.bDhcpValid = 1;  // reported, but neither on nor off
    report.modules.push_back(first);
    Answer second = MakeAnswer(2, 0);
    SetText(second.record.szFbType, second.record.bFbTypeValid, "Bus, \"fast\"\xFF");
    report.modules.push_back(second);
    report.without_mac.push_back(MakeAnswer(0, 0x0A4D0063, false));
    report.without_mac_count = 1;
    report.adapters = std::move(adapters);
    return report;
}

TEST(ScanReport, JsonCarriesEveryFieldWithNullForTheUnreported) {
    const json document = json::parse(JsonText(Report({"tl0", "tl1"})));
    const json& first = document["modules"][0];
    EXPECT_EQ(first["ip"], "10.77.0.101");
    EXPECT_EQ(first["mac"], "02-00-00-00-00-01");
    EXPECT_EQ(first["host_name"], "press_1");
    EXPECT_EQ(first["dhcp"], false);
    EXPECT_EQ(first["adapter"], "tl0");
    EXPECT_EQ(first["sender"], "10.77.0.11");
    for (const char* key : {"subnet_mask", "gateway", "module_version", "fb_type", "dns1", "dns2",
                            "password", "protocol_version"})
        EXPECT_TRUE(first[key].is_null()) << key;
    const json& second = document["modules"][1];
    EXPECT_TRUE(second["ip"].is_null());
    EXPECT_TRUE(second["adapter"].is_null());
    EXPECT_EQ(second["fb_type"], "Bus, \"fast\"\xEF\xBF\xBD") << "a byte that is not UTF-8";
    ASSERT_EQ(document["answers_without_mac"].size(), 1u);
    EXPECT_TRUE(document["answers_without_mac"][0]["mac"].is_null());
    EXPECT_EQ(document["adapters"], json({"tl0", "tl1"}));
}

TEST(ScanReport, CsvQuotesWhatNeedsIt) {
    const std::string csv = CsvText(Report({"tl0"}));
    EXPECT_EQ(csv.substr(0, csv.find('\n')),
              "IP,SN,GW,DHCP,Version,Type,MAC,Host name,DNS1,DNS2,Password,Adapter");
    EXPECT_NE(csv.find(",\"Bus, \"\"fast\"\"\xFF\","), std::string::npos) << csv;
    EXPECT_NE(csv.find("10.77.0.101,N/A,N/A,Off,N/A,N/A,02-00-00-00-00-01,press_1"),
              std::string::npos)
        << csv;
}

TEST(ScanReport, TableShowsTheAdapterOnlyWhenSeveralWereUsed) {
    const std::string one = TableText(Report({"tl0"}));
    const std::string two = TableText(Report({"tl0", "tl1"}));
    EXPECT_EQ(one.find("Adapter"), std::string::npos);
    EXPECT_NE(two.find("Adapter"), std::string::npos);
    EXPECT_NE(two.find("2 modules found in 0.00 s through 2 adapters."), std::string::npos) << two;
    EXPECT_NE(one.find("1 answer carries no MAC address"), std::string::npos) << one;
}

// Module texts are data: a terminal gets no escape sequence and a
// spreadsheet no formula from them, and JSON tells a conflict in full.
TEST(ScanReport, ModuleTextsCannotCommandTheReaderAndConflictsAreTold) {
    ModuleList list;
    Answer module = MakeAnswer(1, 0x0A4D0065);
    module.sender = 0x0A4D000B;
    module.adapter = "tl0";
    SetText(module.record.szHostName, module.record.bHostNameValid, "evil\x1b]2;owned\x07");
    SetText(module.record.szFbType, module.record.bFbTypeValid, "=HYPERLINK(\"x\")");
    list.Add(module);
    Answer impostor = module;
    impostor.sender = 0x0A4D000C;
    impostor.record.dwGateway = 0x0A4D00FE, impostor.record.bGatewayValid = 1;
    list.Add(impostor);
    const ScanReport report = MakeScanReport(list, {"tl0"}, 1.0, 7);

    const std::string table = TableText(report);
    EXPECT_EQ(table.find('\x1b'), std::string::npos);
    EXPECT_NE(table.find("evil\\x1B]2;owned\\x07"), std::string::npos) << table;
    EXPECT_NE(CsvText(report).find(",\"'=HYPERLINK(\"\"x\"\")\","), std::string::npos)
        << CsvText(report);
    EXPECT_EQ(CsvText(report, true).find('\x1b'), std::string::npos) << "a terminal's CSV";
    for (const char* lead : {"\t=1+2", "\r=1+2"})
        EXPECT_NE(CsvField(lead).find(std::string("'") + lead[0]), std::string::npos)
            << "after a blank";

    const json document = json::parse(JsonText(report));
    EXPECT_EQ(document["modules"].size(), 1u) << "the first answer stays listed";
    ASSERT_EQ(document["conflicts"].size(), 1u);
    EXPECT_EQ(document["conflicts"][0]["mac"], "02-00-00-00-00-01");
    EXPECT_EQ(document["conflicts"][0]["answers"][1]["sender"], "10.77.0.12");
    EXPECT_EQ(document["conflicts"][0]["answers"][1]["gateway"], "10.77.0.254");
    EXPECT_EQ(document["dropped"], 7);
    EXPECT_EQ(document["modules"][0]["host_name"], "evil\x1b]2;owned\x07") << "JSON stays exact";

    const std::vector<std::string> warnings = ScanWarnings(report, Format::kTable);
    ASSERT_EQ(warnings.size(), 2u);
    EXPECT_EQ(warnings[0],
              "two or more senders answer as MAC 02-00-00-00-00-01: 10.77.0.11 via tl0, "
              "10.77.0.12 via tl0; --format json lists every answer");
    EXPECT_NE(warnings[1].find("7 answers were dropped"), std::string::npos);
    EXPECT_EQ(ScanWarnings(report, Format::kJson).size(), 1u) << "JSON lists conflicts itself";
}

}  // namespace
}  // namespace tolm::linkora
