/* Stands in for netsh.exe in the installer tests: Wine's own netsh accepts
   every firewall command and does nothing, so the test replaces it with this
   program, which appends its command line to the file LINKORA_NETSH_LOG names
   and succeeds. */
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

int main(void) {
    const char* log = getenv("LINKORA_NETSH_LOG");
    FILE* file = log ? fopen(log, "a") : NULL;
    if (!file) return 1;
    fprintf(file, "%s\n", GetCommandLineA());
    return fclose(file) == 0 ? 0 : 1;
}
