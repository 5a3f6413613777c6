// The binary itself: modes that open a socket refuse outside the lab, pure
// modes work anywhere and report bad input by file and line.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>

namespace {

struct Outcome {
    int status = -1;
    std::string output;
};

// Runs tolm-sim with TOLM_LAB removed. Socket modes also run in a network
// namespace of their own (lo only, down), so that even a broken guard could
// not reach the real network; that needs root, and fails loudly without.
Outcome RunSim(const std::string& arguments, bool isolated = false) {
    const std::string command = std::string(isolated ? "unshare --net " : "") +
                                "env -u TOLM_LAB " TOLM_SIM_PATH " " + arguments + " 2>&1";
    Outcome outcome;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return outcome;
    char chunk[4096];
    while (const std::size_t got = std::fread(chunk, 1, sizeof chunk, pipe))
        outcome.output.append(chunk, got);
    const int status = pclose(pipe);
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

TEST(SimBinary, SocketModesRefuseOutsideTheLab) {
    for (const char* arguments : {"--send 'Module Scan\\0'", "--modules 2", "--burst"}) {
        const Outcome outcome = RunSim(arguments, true);
        EXPECT_EQ(outcome.status, 3) << arguments << ": " << outcome.output;
        EXPECT_NE(outcome.output.find("refusing to run outside the lab"), std::string::npos)
            << outcome.output;
    }
}

TEST(SimBinary, PureModesRunAnywhere) {
    EXPECT_EQ(RunSim("--check-config --modules 4").output, "4 module(s) OK\n");
    const Outcome responses = RunSim("--print-responses --modules 2 --password pw");
    EXPECT_EQ(responses.status, 0);
    EXPECT_NE(responses.output.find("hn = module-2;dns1 = 10.77.0.1;dns2 = 10.77.0.2;\\x00\n"),
              std::string::npos)
        << responses.output;
    const Outcome help = RunSim("--help");
    EXPECT_EQ(help.status, 0);
    for (const char* option : {"--config", "--burst", "--send-hex", "--ready-file", "--log"})
        EXPECT_NE(help.output.find(option), std::string::npos) << option;
}

TEST(SimBinary, BadInputExitsWithTwoAndSaysWhere) {
    const std::string path = testing::TempDir() + "tolm_sim_bad.txt";
    std::ofstream(path) << "ip=10.0.0.1\nip=10.0.0.300\n";
    const Outcome outcome = RunSim("--check-config --config " + path);
    std::remove(path.c_str());
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(outcome.output, "tolm-sim: " + path + ":2: ip: not an IPv4 address: 10.0.0.300\n");
    EXPECT_EQ(RunSim("--modules x").status, 2);
}

}  // namespace
