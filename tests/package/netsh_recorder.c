/* Stands in for netsh.exe in the installer tests: Wine's own netsh accepts
   every command, even a bogus one, and does nothing, so the test replaces it
   with this program, which appends its command line to the file
   LINKORA_NETSH_LOG names and succeeds; it fails, as netsh does when a rule
   cannot be added, for a command line holding LINKORA_NETSH_FAIL's text. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

int main(void) {
    const char* log = getenv("LINKORA_NETSH_LOG");
    const char* fail = getenv("LINKORA_NETSH_FAIL");
    const char* command = GetCommandLineA();
    FILE* file = log ? fopen(log, "a") : NULL;
    if (!file) return 1;
    fprintf(file, "%s\n", command);
    if (fclose(file) != 0) return 1;
    return fail && *fail && strstr(command, fail) ? 1 : 0;
}
