// tolm-host LIBRARY: loads the library, binds its nine exports and obeys
// one command per line on stdin, answering one line each on stdout:
//   callback on|off|take-in-callback|stop-in-callback [MS]|slow MS
//                                              register a callback (or none)
//   start | stop | scan | take [raw] | peek | remove
//   configure mac=.. pw=.. newpw=.. change=N ip=.. sn=.. gw=.. dhcp=N hn=..
//             dns1=.. dns2=..                  texts escaped as \xNN
//   events | wait-events COUNT TIMEOUT_MS      codes the callback received
//   inner                                      calls made inside the callback
//   version [SIZE] | socket-status | unload | load [fail-allocations] | quit
//   adapters | scan-via NAME|all | configure-via NAME|all FIELDS | take-origin
//                                              the adapter extensions (adapter_commands.h)
//   reply | drops | drain                      replies, drop counts (reply_commands.h)
// The first line out is "ready", or "error ..." when the library failed.
#include <cstdio>
#include <iostream>
#include <string>

#include "lab_guard.h"
#include "session.h"

namespace {

// Under Wine stdout is fully buffered, and the driver waits for each line.
void Answer(const std::string& line) {
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tolm-host LIBRARY\n");
        return 2;
    }
    // The library broadcasts as soon as it loads: refuse first, outside the lab.
    tolm::lab::RequireLab("tolm-host");
    tolm::host::Session session(argv[1]);
    const std::string loaded = session.Load();
    Answer(loaded == "load result=1" ? "ready" : loaded);
    if (loaded != "load result=1") return 1;
    std::string line;
    while (!session.QuitRequested() && std::getline(std::cin, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        Answer(session.Execute(line));
    }
    if (!session.QuitRequested()) session.Execute("quit");
    return 0;
}
