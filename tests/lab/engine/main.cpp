// tolm-engine-tests --host HOST --library LIBRARY [--wine LOADER] [gtest flags]
//
// Drives the library through tolm-host inside the lab. With --wine the host
// is a Windows build and runs under the Wine loader given (the one for its
// architecture) with the DLL given.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "host_client.h"
#include "lab_guard.h"

namespace {

// Wine resolves a drive path reliably; the Z: drive maps the root.
std::string WindowsPath(const std::string& path) {
    std::string windows = "Z:" + std::filesystem::absolute(path).string();
    for (char& c : windows)
        if (c == '/') c = '\\';
    return windows;
}

bool ReadOptions(int argc, char** argv, tolm::labtest::HostLaunch& launch, std::string& error) {
    std::string host;
    std::string library;
    std::string wine;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if ((arg == "--host" || arg == "--library" || arg == "--wine") && i + 1 < argc) {
            (arg == "--host" ? host : arg == "--library" ? library : wine) = argv[++i];
        } else {
            error = "unknown argument " + arg;
            return false;
        }
    }
    for (const auto& path : {host, library}) {
        if (path.empty())
            error = "both --host and --library are needed";
        else if (!std::filesystem::is_regular_file(path))
            error = "no such file: " + path;
        if (!error.empty()) return false;
    }
    if (!wine.empty()) {
        launch.argv = {wine, host, WindowsPath(library)};
        // Wine's first process start in a fresh prefix is slow.
        launch.start_timeout = tolm::labtest::Milliseconds(60000);
        launch.command_timeout = tolm::labtest::Milliseconds(20000);
    } else {
        launch.argv = {host, library};
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    tolm::lab::RequireLab("tolm-engine-tests");
    tolm::labtest::HostLaunch launch;
    std::string error;
    if (!ReadOptions(argc, argv, launch, error)) {
        std::fprintf(stderr, "tolm-engine-tests: %s\n", error.c_str());
        return 2;
    }
    tolm::labtest::SetHostLaunch(launch);
    return RUN_ALL_TESTS();
}
