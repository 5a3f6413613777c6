// Compiles the shared header and the protocol code with the Windows
// compilers: the header's layout assertions and the calling conventions hold
// on this target, and the protocol gives the same results as on Linux.
#include <cstring>
#include <type_traits>

#include "check_log.h"
#include "protocol/messages.h"
#include "tolm.h"

// Hosts bind the exports through these types: stdcall, callback cdecl.
static_assert(std::is_same_v<TOLM_StartFn, int32_t(__stdcall*)(void)>);
static_assert(
    std::is_same_v<TOLM_GetResponseFn, int32_t(__stdcall*)(TOLM_ModuleScanResponseType*)>);
static_assert(std::is_same_v<TOLM_NotifyCallback, void(__cdecl*)(int32_t)>);
static_assert(std::is_same_v<decltype(&TOLM_SendConfigure), TOLM_SendConfigureFn>);
static_assert(std::is_same_v<decltype(&DllGetVersion), TOLM_DllGetVersionFn>);

using tolm::windows_test::Check;
using tolm::windows_test::Summarize;

int main() {
    const char answer[] = "mac = 0a-0B-0c-0D-0e-0F;ip = 192.168.0.1;gw = 10.0.0.254;dhcp = on;";
    const TOLM_ModuleScanResponseType response =
        tolm::protocol::ParseScanResponse(tolm::protocol::DatagramText(answer, sizeof answer));
    const uint8_t mac[] = {0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F};
    Check(response.bMacIdValid == 1 && std::memcmp(response.abMacId, mac, 6) == 0, "MAC parsed");
    Check(response.dwIpAddress == 0xC0A80001u && response.dwGateway == 0x0A0000FEu,
          "addresses parsed most significant byte first");
    Check(response.bDhcpValid == 1 && response.bDhcpEnabled == 1, "DHCP parsed");
    Check(response.bHostNameValid == 0 && response.dwDns1 == 0xFFFFFFFFu, "absent fields stay FF");

    TOLM_ConfigureRequestType request;
    std::memset(&request, 0, sizeof request);
    std::memcpy(request.abMacId, mac, 6);
    request.dwIpAddress = 0x0A4D0014u;
    request.dwSubnetMask = request.dwGateway = request.dwDns1 = request.dwDns2 = 0xFFFFFFFFu;
    request.bDhcpEnabled = 2;
    const auto text = tolm::protocol::ComposeConfigureRequest(request);
    Check(text && text->rfind("Configure: 0A-0B-0C-0D-0E-0F;", 0) == 0 &&
              text->find("10.77.0.20") != std::string::npos,
          "configure request names the MAC and the new address");
    return Summarize();
}
