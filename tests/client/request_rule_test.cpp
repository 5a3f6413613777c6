// The one rule for what a module may be given, as the program, set, check
// and apply all apply it.
#include "client/request_rule.h"

#include <gtest/gtest.h>

#include <cstring>

namespace tolm::client {
namespace {

constexpr std::uint32_t kPc = 0x0A4D0001;  // 10.77.0.1, this PC's adapter

TOLM_ModuleScanResponseType Module() {
    TOLM_ModuleScanResponseType r;
    std::memset(&r, 0, sizeof r);
    r.abMacId[0] = 2, r.bMacIdValid = 1;
    r.dwIpAddress = 0x0A4D0065, r.bIpAddressValid = 1;    // 10.77.0.101
    r.dwSubnetMask = 0xFFFFFF00, r.bSubnetMaskValid = 1;  // /24
    r.dwGateway = kPc, r.bGatewayValid = 1;
    r.bDhcpValid = 1;  // off
    std::strcpy(r.szHostName, "press_1"), r.bHostNameValid = 1;
    return r;
}

// "kind field-number" per finding, warnings marked.
std::string Judged(const ConfigureChanges& changes,
                   const TOLM_ModuleScanResponseType* module = nullptr) {
    std::string out;
    for (const RuleFinding& f : CheckChanges(changes, module, {kPc}))
        out +=
            (out.empty() ? "" : " ") + f.kind + (f.severity == RuleSeverity::kWarning ? "?" : "");
    return out;
}

TEST(RequestRule, RefusesWhatWouldCutAModuleOffAndWarnsOfAFarGateway) {
    const TOLM_ModuleScanResponseType module = Module();
    const auto ip = [](std::uint32_t value) {
        ConfigureChanges c;
        c.ip_address = value;
        return c;
    };
    EXPECT_EQ(Judged(ip(0x0A4D0066), &module), "");
    EXPECT_EQ(Judged(ip(0)), "zero-address");
    EXPECT_EQ(Judged(ip(0xFFFFFFFF)), "bad-address");
    for (const std::uint32_t bad : {0x7F000001u, 0xE0000001u, 0xF0000001u})
        EXPECT_EQ(Judged(ip(bad)), "bad-address") << bad;
    EXPECT_EQ(Judged(ip(kPc), &module), "own-address");
    EXPECT_EQ(Judged(ip(0x0A4D00FF), &module), "network-or-broadcast-address");
    EXPECT_EQ(Judged(ip(0x0A4D00FF)), "") << "no mask known, none given";
    EXPECT_EQ(Judged(ip(0xC0A80014), &module), "gateway-outside-subnet?");

    ConfigureChanges mask;
    mask.subnet_mask = 0xFF00FF00;
    EXPECT_EQ(Judged(mask, &module), "bad-mask");
    mask.subnet_mask = 0xFFFFFF80;  // 10.77.0.101 stays inside, the gateway too
    EXPECT_EQ(Judged(mask, &module), "");
    mask.subnet_mask = 0xFFFFFFFC;  // 10.77.0.103 is the broadcast of 10.77.0.100/30
    mask.ip_address = 0x0A4D0067;
    EXPECT_EQ(Judged(mask, &module), "network-or-broadcast-address");

    ConfigureChanges dhcp = ip(0);
    dhcp.dhcp = true;
    dhcp.dns2 = 0xFFFFFFFF;
    EXPECT_EQ(Judged(dhcp, &module), "unsendable-address")
        << "0.0.0.0 awaits the server's address; 255.255.255.255 cannot be sent at all";
    dhcp.dns2.reset();
    EXPECT_EQ(Judged(dhcp, &module), "");

    ConfigureChanges texts;
    texts.host_name = "plc-01";
    texts.password = "a;b";
    texts.new_password = "";
    EXPECT_EQ(Judged(texts, &module), "illegal-host-name unsendable-password empty-new-password?");
    TOLM_ModuleScanResponseType nameless = Module();
    nameless.bHostNameValid = 0;
    EXPECT_EQ(Judged({}, &nameless), "host-name-needed");
    texts = {};
    texts.host_name = std::string(94, 'h');
    EXPECT_EQ(Judged(texts, &module), "too-long");
}

}  // namespace
}  // namespace tolm::client
