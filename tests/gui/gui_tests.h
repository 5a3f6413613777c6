// The groups of the GUI test program; each prints its checks.
#pragma once

namespace gui_test {

void RunListTests();
void RunSortHeaderTests();
void RunBindingTests();
void RunVersionTests();
void RunFrameworkTests();
void RunScanCycleTests();
void RunMainWindowTests();
void RunConfigDialogTests();
void RunConfigureTests();
void RunFloodTests();

}  // namespace gui_test
