// linkora adapters: the network adapters linkora sends through.
#include "cli/command_line/failure.h"
#include "cli/command_line/options.h"
#include "cli/output/adapter_report.h"
#include "cli/output/console.h"
#include "cli/session/tolm_session.h"
#include "cli/verbs/verbs.h"

namespace tolm::linkora {
namespace {

class AdaptersVerb : public Verb {
  public:
    const char* Name() const override { return "adapters"; }

    void Define(CLI::App& app) override {
        CLI::App* adapters = app.add_subcommand(
            Name(),
            "Lists the network adapters linkora sends through: up, IPv4, with a broadcast "
            "address (loopback left out).");
        adapters->fallthrough();
        AddFormat(adapters, format_, {"table", "json"}, "table or json");
    }

    int Run(const GlobalOptions& global) override {
        TolmSession session(LibraryPath(global), global.adapter);
        const std::vector<TOLM_AdapterType>& adapters = session.Adapters();
        Print(format_ == "json" ? AdaptersJson(adapters) : AdaptersTable(adapters));
        if (adapters.empty())
            Warn(
                "no adapter is up with an IPv4 address and a broadcast address: connect the "
                "cable or switch the adapter on, and give it an address (a module without DHCP "
                "needs a static one on its subnet)");
        return kSuccess;
    }

  private:
    std::string format_;
};

}  // namespace

std::unique_ptr<Verb> MakeAdaptersVerb() {
    return std::make_unique<AdaptersVerb>();
}

}  // namespace tolm::linkora
