#include <cstdio>

#include "adapter_report.h"
#include "commands.h"
#include "failure.h"
#include "tolm_session.h"

namespace tolm::linkora {

int RunAdapters(const CommandLine& c) {
    TolmSession session(c.library.empty() ? DefaultLibraryPath() : c.library, c.adapter);
    const std::vector<TOLM_AdapterType>& adapters = session.Adapters();
    const std::string text =
        c.format == Format::kJson ? AdaptersJson(adapters) : AdaptersTable(adapters);
    std::fputs(text.c_str(), stdout);
    std::fflush(stdout);
    if (adapters.empty())
        std::fputs(
            "linkora: no adapter is up with an IPv4 address and a broadcast address: "
            "connect the cable or switch the adapter on, and give it an address (a module "
            "without DHCP needs a static one on its subnet)\n",
            stderr);
    return kSuccess;
}

}  // namespace tolm::linkora
