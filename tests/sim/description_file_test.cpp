#include "description_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

namespace tolm::sim {
namespace {

std::vector<Module> Parse(std::string_view content, const FleetDefaults& defaults = {}) {
    return ParseDescription(content, "modules.txt", defaults);
}

// The message of the DescriptionError that content raises.
std::string ErrorOf(std::string_view content) {
    try {
        Parse(content);
    } catch (const DescriptionError& error) {
        return error.what();
    }
    return "no error";
}

TEST(DescriptionFile, ReadsEverySetting) {
    const auto modules = Parse(
        "mac=0a-0b-0c-0d-0e-0f ip=192.168.1.5 subnet=255.255.0.0 gateway=192.168.1.1 "
        "dns1=8.8.8.8 dns2=8.8.4.4 fb-type=\"DeviceNet \\x41\" module-version=3.1.65535 "
        "protocol-version=1.2 dhcp=ON host-name=press password=\"p w\"\n");
    ASSERT_EQ(modules.size(), 1u);
    const Module& m = modules[0];
    EXPECT_EQ(m.mac, (Mac{0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F}));
    EXPECT_EQ(m.ip, 0xC0A80105u);
    EXPECT_EQ(m.subnet, 0xFFFF0000u);
    EXPECT_EQ(m.gateway, 0xC0A80101u);
    EXPECT_EQ(m.dns1, 0x08080808u);
    EXPECT_EQ(m.dns2, 0x08080404u);
    EXPECT_EQ(m.fb_type, "DeviceNet A");
    EXPECT_EQ(m.module_version.major, 3);
    EXPECT_EQ(m.module_version.minor, 1);
    EXPECT_EQ(m.module_version.build, 65535);
    EXPECT_EQ(m.protocol_version.major, 1);
    EXPECT_EQ(m.protocol_version.minor, 2);
    EXPECT_TRUE(m.dhcp);
    EXPECT_EQ(m.host_name, "press");
    EXPECT_EQ(m.password, "p w");
    EXPECT_FALSE(m.fixed_response);
}

TEST(DescriptionFile, OmittedSettingsComeFromTheModuleNumber) {
    FleetDefaults defaults;
    defaults.host_name_prefix = "cell";
    defaults.fb_types = {"A", "B"};
    const auto modules = Parse(
        "# a comment line\n"
        "\n"
        "   ip=10.0.0.9   # trailing comment\r\n"
        "host-name=x\n"
        "fb-type=C\n",
        defaults);
    ASSERT_EQ(modules.size(), 3u);
    EXPECT_EQ(modules[0].ip, 0x0A000009u);
    EXPECT_EQ(modules[0].mac, (Mac{2, 0, 0, 0, 0, 1}));
    EXPECT_EQ(modules[0].host_name, "cell-1");
    EXPECT_EQ(modules[0].fb_type, "A");
    EXPECT_EQ(modules[1].mac, (Mac{2, 0, 0, 0, 0, 2}));
    EXPECT_EQ(modules[1].ip, 0x0A4D0066u);
    EXPECT_EQ(modules[1].host_name, "x");
    EXPECT_EQ(modules[1].fb_type, "B");
    EXPECT_EQ(modules[2].host_name, "cell-3");
    EXPECT_EQ(modules[2].fb_type, "C");
}

TEST(DescriptionFile, FixedResponseKeepsItsBytesAndAddsNoNul) {
    const auto modules = Parse("response=\"IP = 10.0.0.300;\\x01#\" mac=02-00-00-00-00-09\n");
    ASSERT_TRUE(modules[0].fixed_response);
    EXPECT_EQ(*modules[0].fixed_response, "IP = 10.0.0.300;\x01#");
    EXPECT_EQ(ComposeScanResponse(modules[0]), "IP = 10.0.0.300;\x01#");
    EXPECT_EQ(Parse("response=\"\"")[0].fixed_response, "");
}

TEST(DescriptionFile, AnswerDelayIsPerModuleAndBounded) {
    const auto modules = Parse("answer-delay-ms=1200\nmac=02-00-00-00-00-09\n");
    EXPECT_EQ(modules[0].answer_delay_ms, 1200u);
    EXPECT_EQ(modules[1].answer_delay_ms, 0u);
    EXPECT_EQ(Parse("answer-delay-ms=60000")[0].answer_delay_ms, 60000u);
    for (const char* bad :
         {"answer-delay-ms=60001", "answer-delay-ms=-1", "answer-delay-ms=1s", "answer-delay-ms="})
        EXPECT_NE(ErrorOf(bad).find("answer-delay-ms: not a number of ms up to 60000"),
                  std::string::npos)
            << bad;
}

TEST(DescriptionFile, ModulesMayShareAMac) {
    EXPECT_EQ(Parse("mac=02-00-00-00-00-05\nmac=02-00-00-00-00-05\n").size(), 2u);
}

TEST(DescriptionFile, ErrorsNameFileAndLine) {
    EXPECT_EQ(ErrorOf("ip=10.0.0.1\n\nip=10.0.0\n"),
              "modules.txt:3: ip: not an IPv4 address: 10.0.0");
    EXPECT_EQ(ErrorOf("colour=red"), "modules.txt:1: unknown key: colour");
    EXPECT_EQ(ErrorOf("ip=1.2.3.4 ip=1.2.3.5"), "modules.txt:1: ip given twice");
    EXPECT_EQ(ErrorOf("# nothing\n\n"), "modules.txt: no modules described");
    EXPECT_EQ(ErrorOf(""), "modules.txt: no modules described");
    EXPECT_EQ(ErrorOf("fb-type=\"open"), "modules.txt:1: missing closing quote");
    EXPECT_EQ(ErrorOf("mac=02-00-00-00-00-0x"),
              "modules.txt:1: mac: not a MAC address: 02-00-00-00-00-0x");
    EXPECT_EQ(ErrorOf("dhcp=maybe"), "modules.txt:1: dhcp: not on or off: maybe");
    EXPECT_EQ(ErrorOf("module-version=2.15"),
              "modules.txt:1: module-version: not a version A.B.C: 2.15");
    EXPECT_EQ(ErrorOf("protocol-version=1.256"),
              "modules.txt:1: protocol-version: not a version A.B: 1.256");
}

TEST(DescriptionFile, RefusesMalformedLines) {
    for (const char* bad :
         {"ip", "=1.2.3.4", "ip = 1.2.3.4", "IP=1.2.3.4", "host-name=a\"b", "fb-type=\"a\"b",
          "fb-type=\"\\q\"", "ip=1.2.3.4 junk", "module-version=1.2.65536"})
        EXPECT_NE(ErrorOf(bad).rfind("modules.txt:1: ", 0), std::string::npos) << bad;
    EXPECT_EQ(ErrorOf(std::string_view("ip=1.2.3.4\0", 11)), "modules.txt:1: NUL byte in the line");
}

TEST(DescriptionFile, RefusesTextsTheScanResponseCannotCarry) {
    EXPECT_EQ(ErrorOf("host-name=a;b"), "modules.txt:1: host-name: contains ';'");
    EXPECT_EQ(ErrorOf("fb-type=\"x IP = 1\""),
              "modules.txt:1: fb-type: contains the key \"ip = \"");
    EXPECT_EQ(ErrorOf("host-name=" + std::string(128, 'h')),
              "modules.txt:1: host-name: longer than 127 characters");
    EXPECT_EQ(Parse("host-name=" + std::string(127, 'h'))[0].host_name.size(), 127u);
    EXPECT_EQ(ErrorOf("password=a;b"), "modules.txt:1: password: contains ';'");
}

TEST(DescriptionFile, LoadsFromDiskAndReportsAMissingFile) {
    const std::string path = testing::TempDir() + "tolm_sim_description.txt";
    std::ofstream(path) << "mac=02-00-00-00-00-07\n";
    EXPECT_EQ(LoadDescriptionFile(path, {})[0].mac, (Mac{2, 0, 0, 0, 0, 7}));
    std::remove(path.c_str());
    EXPECT_THROW(LoadDescriptionFile(path, {}), DescriptionError);
}

}  // namespace
}  // namespace tolm::sim
