// Feeds arbitrary files to linkora's plan reader, as CSV and as JSON, in any
// encoding it reads; traps when a property of the result fails: every
// problem is placed inside the text, and every module read holds only values
// a request can carry.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cli/plan/plan_reader.h"
#include "cli/plan/plan_text.h"
#include "client/configure_request.h"
#include "require.h"

namespace {

using tolm::fuzz::Require;

// The length of each line; a column one past its last byte is its end.
std::vector<std::size_t> LineLengths(std::string_view text) {
    std::vector<std::size_t> lengths{0};
    for (const char c : text) {
        if (c == '\n')
            lengths.push_back(0);
        else
            ++lengths.back();
    }
    return lengths;
}

void CheckReading(std::string_view text) {
    const tolm::linkora::PlanReading reading = tolm::linkora::ReadPlan(text, "plan");
    Require(!reading.problems.empty() || !reading.plan.modules.empty(),
            "a plan without problems lists modules");
    // Places are in the text as decoded (UTF-16 files become UTF-8).
    const std::vector<std::size_t> lengths = LineLengths(tolm::linkora::DecodePlanText(text).utf8);
    for (const tolm::linkora::PlanProblem& p : reading.problems) {
        Require(!p.message.empty(), "a problem says what is wrong");
        Require(p.where.line >= 1 && static_cast<std::size_t>(p.where.line) <= lengths.size(),
                "a problem's line lies in the text");
        Require(p.where.column >= 1 &&
                    static_cast<std::size_t>(p.where.column) <= lengths[p.where.line - 1] + 1,
                "a problem's column lies in its line");
    }
    if (!reading.problems.empty()) return;
    for (const tolm::linkora::PlannedModule& m : reading.plan.modules) {
        const auto& s = m.settings;
        for (const auto* address : {&s.ip, &s.subnet_mask, &s.gateway, &s.dns1, &s.dns2})
            Require(!*address || **address != 0xFFFFFFFF, "no address means unchanged");
        if (!s.host_name) continue;
        Require(tolm::client::IsLegalHostName(*s.host_name), "a host name read is legal");
        TOLM_ConfigureRequestType request = tolm::client::UnchangedRequest();
        Require(tolm::client::CopyText(*s.host_name, request.szHostName) &&
                    tolm::client::WhyTooLong(request).empty(),
                "a host name read can be sent");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    CheckReading(text);
    // The same bytes as the elements of a JSON array, so both readers see them.
    CheckReading("[" + text + "]");
    return 0;
}
