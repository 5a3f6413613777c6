// The conventions every verb's options follow: -o for --format, on/off in
// any letter case, times in milliseconds or with a unit.
#include "cli/command_line/options.h"

#include <gtest/gtest.h>

namespace tolm::linkora {
namespace {

struct Parsed {
    std::string format;
    std::optional<std::string> dhcp;
    Milliseconds every{0};
};

// What a command of these three options makes of the line; none when CLI11 refuses it.
std::optional<Parsed> Parse(const std::string& line) {
    Parsed parsed;
    CLI::App app;
    AddFormat(&app, parsed.format, {"table", "json"}, "format");
    AddOnOff(&app, "--dhcp", parsed.dhcp, "DHCP");
    AddMilliseconds(&app, "--every", parsed.every, "every", Milliseconds(100),
                    Milliseconds(86400000));
    try {
        app.parse(line, false);
    } catch (const CLI::ParseError&) {
        return std::nullopt;
    }
    return parsed;
}

TEST(Options, AliasesWordsAndTimes) {
    EXPECT_EQ(Parse("")->format, "table");
    EXPECT_EQ(Parse("-o json")->format, "json");
    EXPECT_EQ(Parse("--output json")->format, "json");
    EXPECT_FALSE(Parse("-o xml"));

    EXPECT_EQ(Parse("--dhcp ON")->dhcp, "on");
    EXPECT_EQ(Parse("--dhcp Off")->dhcp, "off");
    EXPECT_FALSE(Parse("--dhcp maybe"));

    EXPECT_EQ(Parse("--every 1500")->every, Milliseconds(1500));
    EXPECT_EQ(Parse("--every 500ms")->every, Milliseconds(500));
    EXPECT_EQ(Parse("--every 2s")->every, Milliseconds(2000));
    EXPECT_EQ(Parse("--every 1.5s")->every, Milliseconds(1500));
    // A bare 2 is 2 ms, below the least: refused rather than read as seconds.
    for (const char* bad : {"--every 2", "--every 2m", "--every s", "--every 0.5ms", "--every -1s",
                            "--every 86401s", "--every 1.s"})
        EXPECT_FALSE(Parse(bad)) << bad;
}

}  // namespace
}  // namespace tolm::linkora
