// tolm-sim: stands in for field-bus Ethernet interface modules on the lab
// network, or sends given datagrams, for the library's tests.
#include <cstdio>
#include <stdexcept>

#include "description_file.h"
#include "escape.h"
#include "help_text.h"
#include "lab_guard.h"
#include "responder.h"
#include "send_datagrams.h"
#include "serve.h"
#include "sim/command_line.h"
#include "udp_socket.h"

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

int PrintResponses(const std::vector<tolm::sim::Module>& modules) {
    for (const tolm::sim::Module& module : modules)
        std::printf("%s\n", tolm::sim::EscapeBytes(tolm::sim::ComposeScanResponse(module)).c_str());
    return 0;
}

int Run(int argc, const char* const* argv) {
    using namespace tolm::sim;
    const Options options = ParseCommandLine(argc, argv);
    switch (options.mode) {
        case Mode::kHelp:
            std::fputs(kHelpText, stdout);
            return 0;
        case Mode::kSend:
            tolm::lab::RequireLab("tolm-sim");
            return SendDatagrams(options);
        case Mode::kCheckConfig:
            std::printf("%zu module(s) OK\n", BuildModules(options).size());
            return 0;
        case Mode::kPrintResponses:
            return PrintResponses(BuildModules(options));
        case Mode::kServe:
            break;
    }
    std::vector<Module> modules = BuildModules(options);
    tolm::lab::RequireLab("tolm-sim");
    return Serve(options, std::move(modules));
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const tolm::sim::UsageError& error) {
        std::fprintf(stderr, "tolm-sim: %s\n", error.what());
        return kExitUsage;
    } catch (const tolm::sim::DescriptionError& error) {
        std::fprintf(stderr, "tolm-sim: %s\n", error.what());
        return kExitUsage;
    } catch (const std::invalid_argument& error) {
        std::fprintf(stderr, "tolm-sim: %s\n", error.what());
        return kExitUsage;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "tolm-sim: %s\n", error.what());
        return kExitFailure;
    }
}
