// The GUI test program: creates the program's real dialogs and controls from
// its resources (linked in), drives them and checks what a user would see.
// Arguments name the groups to run: list, header, binding, version, framework,
// config, scan_cycle, main_window, configure (these three in a lab with the
// demo's simulated modules), flood (in a lab with 20,000).
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <cstdio>
#include <map>
#include <string>

#include "check_log.h"
#include "framework/win_app.h"
#include "gui_tests.h"

int main(int argc, char** argv) {
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                        ICC_LISTVIEW_CLASSES | ICC_INTERNET_CLASSES};
    ::InitCommonControlsEx(&controls);
    // Named after this program's file, as the program is named after its own.
    CWinApp app;
    const std::map<std::string, void (*)()> groups = {
        {"list", &gui_test::RunListTests},
        {"header", &gui_test::RunSortHeaderTests},
        {"binding", &gui_test::RunBindingTests},
        {"version", &gui_test::RunVersionTests},
        {"framework", &gui_test::RunFrameworkTests},
        {"scan_cycle", &gui_test::RunScanCycleTests},
        {"main_window", &gui_test::RunMainWindowTests},
        {"config", &gui_test::RunConfigDialogTests},
        {"configure", &gui_test::RunConfigureTests},
        {"flood", &gui_test::RunFloodTests},
    };
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: %s GROUP...  (list, header, binding, version, framework, config, "
                     "scan_cycle, main_window, configure, flood)\n",
                     argv[0]);
        return 2;
    }
    for (int i = 1; i < argc; ++i) {
        const auto group = groups.find(argv[i]);
        if (group == groups.end()) {
            std::fprintf(stderr, "unknown group %s\n", argv[i]);
            return 2;
        }
        group->second();
    }
    return tolm::windows_test::Summarize();
}
