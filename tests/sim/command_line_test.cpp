#include "sim/command_line.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace tolm::sim {
namespace {

Options Parse(std::initializer_list<const char*> args) {
    std::vector<const char*> argv{"tolm-sim"};
    argv.insert(argv.end(), args);
    return ParseCommandLine(static_cast<int>(argv.size()), argv.data());
}

std::string ErrorOf(std::initializer_list<const char*> args) {
    try {
        Parse(args);
    } catch (const UsageError& error) {
        return error.what();
    }
    return "no error";
}

TEST(CommandLine, DefaultsServeOneModule) {
    const Options options = Parse({});
    EXPECT_EQ(options.mode, Mode::kServe);
    const auto modules = BuildModules(options);
    ASSERT_EQ(modules.size(), 1u);
    EXPECT_EQ(ComposeScanResponse(modules[0]),
              std::string("protocol version = 1.0;fb type = PROFIBUS DP;module version = "
                          "2.15.1000;mac = 02-00-00-00-00-01;ip = 10.77.0.101;sn = 255.255.255.0;"
                          "gw = 10.77.0.1;dhcp = off;pswd = off;hn = module-1;dns1 = 10.77.0.1;"
                          "dns2 = 10.77.0.2;") +
                  '\0');
}

TEST(CommandLine, ModuleOptionsCountUpAndCycle) {
    const Options options = Parse({"--modules=3",
                                   "--mac-base",
                                   "02-00-00-00-00-ff",
                                   "--ip-base",
                                   "10.0.0.254",
                                   "--fb-type",
                                   "A",
                                   "--fb-type=B",
                                   "--module-version",
                                   "1.2.3",
                                   "--dhcp",
                                   "ON",
                                   "--host-name",
                                   "cell",
                                   "--password",
                                   "pw",
                                   "--protocol-version",
                                   "2.1",
                                   "--subnet",
                                   "255.0.0.0",
                                   "--gateway",
                                   "10.0.0.1",
                                   "--dns1",
                                   "1.1.1.1",
                                   "--dns2",
                                   "1.0.0.1"});
    const auto modules = BuildModules(options);
    ASSERT_EQ(modules.size(), 3u);
    EXPECT_EQ(modules[2].mac, (Mac{2, 0, 0, 0, 1, 1}));
    EXPECT_EQ(modules[2].ip, 0x0A000100u);
    EXPECT_EQ(modules[0].fb_type, "A");
    EXPECT_EQ(modules[1].fb_type, "B");
    EXPECT_EQ(modules[2].fb_type, "A");
    EXPECT_EQ(modules[1].module_version.build, 3);
    EXPECT_EQ(modules[2].host_name, "cell-3");
    EXPECT_EQ(modules[0].password, "pw");
    EXPECT_TRUE(modules[0].dhcp);
    EXPECT_EQ(modules[0].protocol_version.major, 2);
    EXPECT_EQ(modules[0].subnet, 0xFF000000u);
    EXPECT_EQ(modules[0].dns2, 0x01000001u);
}

TEST(CommandLine, AddressesThatRunOutAreRefused) {
    EXPECT_THROW(BuildModules(Parse({"--modules", "3", "--ip-base", "255.255.255.254"})),
                 std::invalid_argument);
    EXPECT_THROW(BuildModules(Parse({"--modules", "2", "--mac-base", "ff-ff-ff-ff-ff-ff"})),
                 std::invalid_argument);
}

TEST(CommandLine, SendOptionsBuildDatagramsInOrder) {
    const Options options =
        Parse({"--send", "Module Scan\\0", "--send-hex", "00 ff", "--send-size", "65507",
               "--send-empty", "--repeat", "3", "--interval-us", "250"});
    EXPECT_EQ(options.mode, Mode::kSend);
    ASSERT_EQ(options.datagrams.size(), 4u);
    EXPECT_EQ(options.datagrams[0], std::string("Module Scan\0", 12));
    EXPECT_EQ(options.datagrams[1], std::string("\0\xff", 2));
    EXPECT_EQ(options.datagrams[2], std::string(65507, 'A'));
    EXPECT_EQ(options.datagrams[3], "");
    EXPECT_EQ(options.repeat, 3u);
    EXPECT_EQ(options.interval_us, 250u);
}

TEST(CommandLine, ServeAndPureModes) {
    const Options serve =
        Parse({"--delay-max-ms", "50", "--seed", "4294967295", "--log", "l", "--ready-file", "r"});
    EXPECT_EQ(serve.delay_max_ms, 50u);
    EXPECT_EQ(serve.seed, 4294967295u);
    EXPECT_EQ(serve.log_path, "l");
    EXPECT_EQ(serve.ready_path, "r");
    EXPECT_TRUE(Parse({"--burst"}).burst);
    EXPECT_EQ(Parse({"--loss", "0.25"}).loss, 0.25);
    EXPECT_EQ(Parse({"--answers-per-second", "10000"}).answers_per_second, 10000u);
    EXPECT_EQ(Parse({"--check-config", "--modules", "2"}).mode, Mode::kCheckConfig);
    EXPECT_EQ(Parse({"--print-responses"}).mode, Mode::kPrintResponses);
    EXPECT_EQ(Parse({"--bogus", "-h"}).mode, Mode::kHelp);
}

TEST(CommandLine, BadCommandLinesSayWhy) {
    EXPECT_EQ(ErrorOf({"--modules", "0"}),
              "--modules: expected a whole number 1..100000, got \"0\"");
    EXPECT_EQ(ErrorOf({"--modules", "1x"}),
              "--modules: expected a whole number 1..100000, got \"1x\"");
    EXPECT_EQ(ErrorOf({"--modules"}), "--modules needs a value");
    EXPECT_EQ(ErrorOf({"--burst=1"}), "--burst takes no value");
    EXPECT_EQ(ErrorOf({"--frobnicate"}), "unknown option --frobnicate (see --help)");
    EXPECT_EQ(ErrorOf({"--ip-base", "10.0.0"}), "--ip-base: not an IPv4 address: 10.0.0");
    EXPECT_EQ(ErrorOf({"--dhcp", "yes"}), "--dhcp: expected on or off, got yes");
    EXPECT_EQ(ErrorOf({"--loss", "10%"}),
              "--loss: expected a share from 0 to 1 such as 0.1, got 10%");
    EXPECT_EQ(ErrorOf({"--fb-type", "a;b"}), "--fb-type: contains ';'");
    EXPECT_EQ(ErrorOf({"--host-name", "x hn = y"}), "--host-name: contains the key \"hn = \"");
    EXPECT_EQ(ErrorOf({"--password", ""}), "--password: empty");
    EXPECT_EQ(ErrorOf({"--send", "\\q"}), "--send: unknown escape \\q");
    EXPECT_EQ(ErrorOf({"--send-size", "65508"}),
              "--send-size: expected a whole number 0..65507, got \"65508\"");
    EXPECT_EQ(ErrorOf({"--send", "x", "--modules", "2"}),
              "--modules does not go with sending datagrams");
    EXPECT_EQ(ErrorOf({"--send", "x", "--log", "f"}), "--log does not go with sending datagrams");
    EXPECT_EQ(ErrorOf({"--repeat", "2"}), "--repeat needs a --send option");
    EXPECT_EQ(ErrorOf({"--send", "x", "--rate", "10", "--interval-us", "5"}),
              "--rate paces the datagrams itself; it does not go with --interval-us");
    EXPECT_EQ(ErrorOf({"--check-config", "--print-responses"}),
              "--check-config and --print-responses exclude each other");
    EXPECT_EQ(ErrorOf({"--print-responses", "--burst"}),
              "--burst does not go with --print-responses");
    EXPECT_EQ(ErrorOf({"--config", "f", "--modules", "2"}),
              "--modules does not go with --config: the file lists the modules");
    EXPECT_EQ(ErrorOf({"--burst", "--delay-max-ms", "5"}),
              "--burst answers at once; it does not go with --delay-max-ms");
    EXPECT_EQ(ErrorOf({"--burst", "--answers-per-second", "5"}),
              "--burst answers at once; it does not go with --answers-per-second");
    EXPECT_EQ(ErrorOf({"--answers-per-second", "0"}),
              "--answers-per-second: expected a whole number 1..1000000, got \"0\"");
}

}  // namespace
}  // namespace tolm::sim
