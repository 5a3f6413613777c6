// Plans as spreadsheets and scan write them, and every problem placed by
// line and column; the passwords file never repeats a password.
#include "cli/plan/plan_reader.h"

#include <gtest/gtest.h>

#include "cli/plan/password_list.h"

namespace tolm::linkora {
namespace {

std::vector<std::string> Problems(std::string_view text) {
    std::vector<std::string> lines;
    for (const PlanProblem& p : ReadPlan(text, "plan").problems)
        lines.push_back(ProblemText("plan", p));
    return lines;
}

std::string Texts(const PlannedModule& m) {
    std::string text;
    for (const SettingField field : kSettingFields)
        text += SettingText(m.settings, field).value_or("-") + "|";
    return text;
}

TEST(PlanReader, ReadsCsvAsScanAndSpreadsheetsWriteIt) {
    // scan's own headings, a byte-order mark, N/A and empty cells, ignored columns.
    const PlanReading scan = ReadPlan(
        "\xEF\xBB\xBFIP,SN,GW,DHCP,Version,Type,MAC,Host name,DNS1,DNS2,Password\r\n"
        "10.77.0.9,255.255.255.0,N/A,On,2.15.1000,\"PROFIBUS, DP\",02-00-00-00-00-03,drive_3,,"
        "10.77.0.2,On\r\n\r\n,,,,,,,,,,\n",
        "plan.csv");
    ASSERT_TRUE(scan.problems.empty()) << ProblemText("plan.csv", scan.problems.front());
    ASSERT_EQ(scan.plan.modules.size(), 1u);
    EXPECT_EQ(Texts(scan.plan.modules[0]), "10.77.0.9|255.255.255.0|-|On|drive_3|-|10.77.0.2|");
    EXPECT_EQ(scan.plan.modules[0].where.line, 2);
    EXPECT_EQ(scan.plan.modules[0].where.column, 57);

    // JSON keys in any case and order, ';' as separator, a quoted line break.
    const PlanReading keys = ReadPlan(
        "host_name;Mac;dhcp;Type\n\"cell_1\";02:00:00:00:00:01;OFF;\"two\nlines\"\n"
        "press_2;02-00-00-00-00-02\n",
        "plan.csv");
    ASSERT_TRUE(keys.problems.empty()) << ProblemText("plan.csv", keys.problems.front());
    ASSERT_EQ(keys.plan.modules.size(), 2u);
    EXPECT_EQ(Texts(keys.plan.modules[0]), "-|-|-|Off|cell_1|-|-|");
    EXPECT_EQ(keys.plan.modules[1].where.line, 4) << "after the line break in a cell";
    EXPECT_EQ(keys.plan.modules[1].mac[5], 2);
}

// The bytes an editor saves for the UTF-8 text: "utf-8", "utf-8 bom", "utf-16le", "utf-16be".
std::string Encoded(std::string_view utf8, std::string_view encoding) {
    if (encoding == "utf-8") return std::string(utf8);
    if (encoding == "utf-8 bom") return "\xEF\xBB\xBF" + std::string(utf8);
    const bool big = encoding == "utf-16be";
    std::string out = big ? "\xFE\xFF" : "\xFF\xFE";
    const auto unit = [&](char32_t u) {
        const char high = static_cast<char>(u >> 8), low = static_cast<char>(u & 0xFF);
        out += big ? std::string{high, low} : std::string{low, high};
    };
    for (std::size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        const int length = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        char32_t c = length == 1 ? b : b & (0x3F >> (length - 1));
        for (int k = 1; k < length; ++k) c = c << 6 | (utf8[i + k] & 0x3F);
        i += length;
        if (c < 0x10000) {
            unit(c);
        } else {
            unit(0xD800 + ((c - 0x10000) >> 10));
            unit(0xDC00 + ((c - 0x10000) & 0x3FF));
        }
    }
    return out;
}

TEST(PlanReader, ReadsEveryEncodingSeparatorAndLineEndAsTheSamePlan) {
    // The program's labels in any case, ':' after them, quoted cells that hold the
    // separator, characters beyond ASCII, trailing empty columns.
    const std::string plan =
        "MAC address:|ip ADDRESS|Subnet mask|Default gateway:|hostname|Primary DNS|Secondary DNS|"
        "DHCP|Type||~"
        "02-00-00-00-00-01|10.77.0.21|255.255.255.0|10.77.0.1|\"press_1\"|10.77.0.2|N/A|off|"
        "\"Z\xC3\xA4hler|\"\"\xE2\x9A\x99\xF0\x9F\x94\xA7\"\"\"||~"
        "02-00-00-00-00-02|10.77.0.22|||press_2||||||~";
    std::string first;
    for (const char* separator : {",", ";", "\t"}) {
        for (const char* end : {"\n", "\r\n"}) {
            std::string text;
            for (const char c : plan)
                text += c == '|' ? separator : c == '~' ? end : std::string(1, c);
            for (const char* encoding : {"utf-8", "utf-8 bom", "utf-16le", "utf-16be"}) {
                const std::string how = std::string(encoding) +
                                        (separator[0] == '\t' ? " TAB" : separator) +
                                        (end[1] != 0 ? " CRLF" : " LF");
                const PlanReading reading = ReadPlan(Encoded(text, encoding), "plan");
                ASSERT_TRUE(reading.problems.empty())
                    << how << ": " << ProblemText("plan", reading.problems.front());
                std::string read;
                for (const PlannedModule& m : reading.plan.modules)
                    read += std::to_string(m.mac[5]) + "@" + std::to_string(m.where.line) + ":" +
                            std::to_string(m.where.column) + " " + Texts(m) + "\n";
                if (first.empty()) first = read;
                EXPECT_EQ(read, first) << how;
            }
        }
    }
    EXPECT_EQ(first,
              "1@2:1 10.77.0.21|255.255.255.0|10.77.0.1|Off|press_1|10.77.0.2|-|\n"
              "2@3:1 10.77.0.22|-|-|-|press_2|-|-|\n");
}

TEST(PlanReader, RefusesWhatItCannotReadSafelyWithItsPlace) {
    // An unknown heading, cells a spreadsheet turned into numbers and dates, a cell under no
    // heading.
    const std::vector<std::string> csv = Problems(
        "MAC,Adress,IP,Host name:\n02-00-00-00-00-01,x,1077001,press_1,,surplus\n"
        "02-00-00-00-00-02,,10.07.2001,\n1.2E+11,,,\n");
    const std::string spreadsheet =
        ": a spreadsheet turns a cell it takes for a number or a date into one; format the "
        "column as text and type the value again";
    ASSERT_EQ(csv.size(), 5u);
    EXPECT_EQ(csv[0].substr(0, 75),
              "plan:1:5: unknown heading \"Adress\": the headings known (in any letter case)");
    EXPECT_NE(csv[0].find(" IP address, "), std::string::npos) << csv[0];
    EXPECT_NE(csv[0].find("read and ignored: Version, "), std::string::npos) << csv[0];
    EXPECT_EQ(csv[1], "plan:2:21: \"1077001\" is a number, not an IPv4 address such as 10.77.0.1" +
                          spreadsheet);
    EXPECT_EQ(csv[2], "plan:2:38: \"surplus\" stands in a column without a heading");
    EXPECT_EQ(csv[3],
              "plan:3:20: \"10.07.2001\" is a date, not an IPv4 address such as "
              "10.77.0.1" +
                  spreadsheet);
    EXPECT_EQ(csv[4],
              "plan:4:1: \"1.2E+11\" is a number, not a MAC address such as "
              "02-00-00-00-00-01" +
                  spreadsheet);
    // Three runs of digits, one too long for an int: no date, and read without a throw.
    const std::vector<std::string> digits =
        Problems("MAC,IP\n02-00-00-00-00-01,1.2.1111111111111111111111\n");
    ASSERT_EQ(digits.size(), 1u);
    EXPECT_EQ(digits[0],
              "plan:2:19: \"1.2.1111111111111111111111\" is not an IPv4 address: four numbers "
              "joined by dots are needed");

    // JSON: an unknown key, and keys given twice (also under another name); the first value stands.
    const std::string json =
        "[{\"mac\": \"02-00-00-00-00-01\", \"ip\": \"10.77.0.5\", \"IP address\": \"10.77.0.6\",\n"
        "  \"ipp\": \"x\", \"mac\": \"02-00-00-00-00-09\"}]";
    const PlanReading twice = ReadPlan(json, "plan");
    ASSERT_EQ(twice.problems.size(), 3u);
    EXPECT_EQ(ProblemText("plan", twice.problems[0]),
              "plan:1:50: the key \"IP address\" is given twice (first at 1:31)");
    EXPECT_EQ(ProblemText("plan", twice.problems[1]).substr(0, 72),
              "plan:2:3: unknown key \"ipp\": the keys known (in any letter case) are MAC");
    EXPECT_EQ(ProblemText("plan", twice.problems[2]),
              "plan:2:15: the key \"mac\" is given twice (first at 1:3)");
    EXPECT_EQ(ProblemText("plan", ReadPlan(std::string(20000, '\n') + "[1]", "p").problems[0]),
              "plan:20001:2: a module must be an object such as {\"mac\": ...}");

    // Rows without a MAC wait for modules where the verb allows it.
    for (const char* text :
         {"IP,Host name\n10.77.0.5,a\n", "MAC,IP\n n/a ,10.77.0.5\n", "[{\"ip\": \"10.77.0.5\"}]",
          "[{\"mac\": null, \"ip\": \"10.77.0.5\"}]"}) {
        const PlanReading waiting = ReadPlan(text, "plan", MacRule::kOptional);
        ASSERT_TRUE(waiting.problems.empty()) << text;
        ASSERT_EQ(waiting.plan.modules.size(), 1u) << text;
        EXPECT_FALSE(waiting.plan.modules[0].has_mac) << text;
        EXPECT_EQ(waiting.plan.modules[0].settings.ip, 0x0A4D0005u) << text;
    }
}

TEST(PlanReader, TellsEveryProblemOfACsvPlanWithItsPlace) {
    EXPECT_EQ(Problems("MAC,IP,DHCP,Host name,GW\n"
                       "02-00-00-00-00-0G,10.77.0.300,maybe,press-1,255.255.255.255\n"
                       "02-00-00-00-00-02,,,a;b,\n"
                       ",10.77.0.5\n"
                       "02-00-00-00-00-04,,,\"" +
                       std::string(94, 'h') + "\"\n"),
              (std::vector<std::string>{
                  "plan:2:1: \"02-00-00-00-00-0G\" is not a MAC address: 'G' is not a hex digit",
                  "plan:2:19: \"10.77.0.300\" is not an IPv4 address: 300 is above 255",
                  "plan:2:31: unknown DHCP word \"maybe\": On or Off is needed",
                  "plan:2:37: illegal host name \"press-1\": only letters, digits and '_' are "
                  "allowed",
                  "plan:2:45: 255.255.255.255 cannot be sent (it means: unchanged)",
                  "plan:3:21: the host name \"a;b\" holds ';', which the protocol cannot carry: it "
                  "ends a piece of the request",
                  "plan:4:1: no MAC address: every module of a plan needs one",
                  "plan:5:21: the host name is too long: 94 characters, at most 93 can be sent",
              }));
    EXPECT_EQ(
        Problems("IP,Host name\n10.77.0.5,x\n"),
        (std::vector<std::string>{"plan:1:1: the heading row names no MAC column (MAC or "
                                  "MAC address); the columns are named as `linkora scan --format "
                                  "csv` names them"}));
    EXPECT_EQ(Problems("MAC,SN,subnet_mask\n02-00-00-00-00-01,\"255.0.0.0\n"),
              (std::vector<std::string>{
                  "plan:1:8: the column \"subnet_mask\" gives the same field as \"SN\"",
                  "plan:2:19: a quoted cell is not closed"}));
    EXPECT_EQ(Problems("MAC\n"), (std::vector<std::string>{"plan:1:1: the plan lists no module"}));
}

TEST(PlanReader, ReadsScanJsonAndArraysWithPlacedProblems) {
    // A scan document: only "modules" counts, null leaves a field unchanged.
    const PlanReading scan = ReadPlan(R"({"schema_version": 1, "modules": [
  {"ip": "10.77.0.121", "dhcp": false, "mac": "02-00-00-00-00-01", "host_name": null,
   "adapter": "tl0", "password": true, "module_version_numbers": [2, {"mac": 5}]}],
 "conflicts": [{"mac": "02-00-00-00-00-09", "answers": [{"mac": "02-00-00-00-00-09"}]}]})",
                                      "plan.json");
    ASSERT_TRUE(scan.problems.empty()) << ProblemText("plan.json", scan.problems.front());
    ASSERT_EQ(scan.plan.modules.size(), 1u);
    EXPECT_EQ(Texts(scan.plan.modules[0]), "10.77.0.121|-|-|Off|-|-|-|");
    EXPECT_EQ(scan.plan.modules[0].where.line, 2);
    EXPECT_EQ(scan.plan.modules[0].where.column, 47);

    EXPECT_EQ(Problems("[{\"mac\": \"02-00-00-00-00-01\", \"dhcp\": \"on\"},\n"
                       " {\"mac\": 7, \"ip\": \"10.1\", \"gateway\": 3},\n"
                       " {\"ip\": \"10.77.0.5\"}, 12,\n"
                       " {\"mac\": \"02-00-00-00-00-04\", \"host_name\": \"x\\\"y\"}]"),
              (std::vector<std::string>{
                  "plan:2:10: \"mac\" must be a text such as \"02-00-00-00-00-01\"",
                  "plan:2:19: \"10.1\" is not an IPv4 address: four numbers joined by dots are "
                  "needed",
                  "plan:2:38: \"gateway\" must be a text or null",
                  "plan:3:2: a module without \"mac\": every module of a plan needs its MAC "
                  "address",
                  "plan:3:23: a module must be an object such as {\"mac\": ...}",
                  "plan:4:44: illegal host name \"x\"y\": only letters, digits and '_' are "
                  "allowed"}));
    const std::vector<std::string> broken = Problems("[{\"mac\": \"02-00-00-00-00-01\",\n  }]");
    ASSERT_EQ(broken.size(), 1u);
    EXPECT_EQ(broken[0].substr(0, 19), "plan:2:3: not JSON:");
    EXPECT_EQ(Problems("{\"answers\": []}"),
              (std::vector<std::string>{
                  "plan:1:1: a JSON plan is a `linkora scan --format json` document (with "
                  "\"modules\") or an array of module objects"}));
}

TEST(PasswordList, ReadsMacAndPasswordLinesAndNeverRepeatsAPassword) {
    const PasswordListReading good = ReadPasswordList(
        "mac,password\r\n# the presses\n02-00-00-00-00-01,s3cret, with blanks \n\n"
        "02:00:00:00:00:02,\n");
    ASSERT_TRUE(good.problems.empty());
    EXPECT_EQ(good.by_mac.at("02-00-00-00-00-01"), "s3cret, with blanks ");
    EXPECT_EQ(good.by_mac.at("02-00-00-00-00-02"), "");

    const PasswordListReading bad = ReadPasswordList(
        "hunter2,02-00-00-00-00-01\n02-00-00-00-00-03,ab;cd\n02-00-00-00-00-04\n"
        "02-00-00-00-00-05,x\n02-00-00-00-00-05,y\n02-00-00-00-00-06," +
        std::string(89, 'p') + "\n");
    std::vector<std::string> lines;
    for (const PlanProblem& p : bad.problems) lines.push_back(ProblemText("pw", p));
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0],
              "pw:1:1: the text before ',' is not a MAC address such as 02-00-00-00-00-01");
    EXPECT_EQ(lines[1].substr(0, 40), "pw:2:19: the password holds ';' at posit");
    EXPECT_EQ(lines[2], "pw:3:1: a line is a MAC address, ',' and the password");
    EXPECT_EQ(lines[3], "pw:5:1: 02-00-00-00-00-05 has a password already (line 4)");
    EXPECT_EQ(lines[4].substr(0, 37), "pw:6:19: the password is too long: 89");
    for (const std::string& line : lines)
        EXPECT_EQ(line.find("hunter2"), std::string::npos) << line;

    // As a spreadsheet saves it in "Unicode text": UTF-16, TAB, quotes, empty columns.
    const PasswordListReading saved = ReadPasswordList(
        Encoded("mac\tpassword\t\t\r\n02-00-00-00-00-07\t\"x \"\"y\"\", z\"\t\t\r\n", "utf-16le"));
    ASSERT_TRUE(saved.problems.empty()) << saved.problems.front().message;
    EXPECT_EQ(saved.by_mac.at("02-00-00-00-00-07"), "x \"y\", z");
}

}  // namespace
}  // namespace tolm::linkora
