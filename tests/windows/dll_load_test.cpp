// Loads tolm.dll as a host does and drives it over the lab network: the
// nine exports, receiving (also what waited before Start, and past empty and
// oversized datagrams), restart, unload and reload, and a host that unloads
// the library without stopping it. Exit status 0 when every check held.
#include <winsock2.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "broadcast_sender.h"
#include "check_log.h"
#include "lab_guard.h"
#include "notification_log.h"
#include "tolm_exports.h"

using namespace tolm::windows_test;
using tolm::client::LoadTolm;
using tolm::client::SharedLibrary;
using tolm::client::TolmExports;

namespace {

constexpr auto kPatience = std::chrono::seconds(10);
constexpr const char* kSecondProcessFlag = "--second-process";
// By file name, from the program's own folder, as a host that ships beside the library loads it.
constexpr const char* kDllName = "tolm.dll";

std::string ScanResponse(int last_byte) {
    char text[128];
    std::snprintf(text, sizeof text, "mac = 02-00-00-AB-CD-%02X;ip = 10.77.0.%d;hn = probe;",
                  last_byte, last_byte);
    return text;
}

void CheckTakesResponse(const TolmExports& tolm, int last_byte) {
    TOLM_ModuleScanResponseType response;
    const bool taken = tolm.get_response(&response) == 1;
    const uint8_t mac[] = {0x02, 0x00, 0x00, 0xAB, 0xCD, static_cast<uint8_t>(last_byte)};
    Check(taken && response.bMacIdValid == 1 && std::memcmp(response.abMacId, mac, 6) == 0 &&
              response.dwIpAddress == (0x0A4D0000u | static_cast<unsigned>(last_byte)),
          "TOLM_GetResponse returns the answer of module " + std::to_string(last_byte));
}

void CheckQueueEmpty(const TolmExports& tolm) {
    TOLM_ModuleScanResponseType response;
    std::memset(&response, 0xAB, sizeof response);
    const bool empty = tolm.get_response(&response) == 0;
    const auto* bytes = reinterpret_cast<const unsigned char*>(&response);
    bool untouched = true;
    for (std::size_t i = 0; i < sizeof response; ++i) untouched = untouched && bytes[i] == 0xAB;
    Check(empty && untouched, "TOLM_GetResponse on an empty queue returns 0, buffer untouched");
}

void CheckNotifications(const std::vector<int32_t>& expected, const std::string& what) {
    const std::vector<int32_t> codes = WaitForNotifications(expected.size(), kPatience);
    std::string seen;
    for (int32_t code : codes) seen += " " + std::to_string(code);
    Check(codes == expected, what + " (codes:" + seen + ")");
}

void CheckVersion(const TolmExports& tolm) {
    TOLM_DllVersionInfoType info = {0, 7, 7, 7, 7};
    const int32_t result = tolm.dll_get_version(&info);
    Check(result == 0 && info.cbSize == 0 && info.dwMajorVersion == 1 && info.dwMinorVersion == 2 &&
              info.dwBuildNumber == 1 && info.dwPlatformID == 1,
          "DllGetVersion fills 1.2.1, platform 1, leaves cbSize 0 and returns 0");
}

// Sends work whenever the library has its socket.
void CheckSends(const TolmExports& tolm) {
    TOLM_ConfigureRequestType request;
    std::memset(&request, 0, sizeof request);
    request.abMacId[0] = 0x02;
    request.dwIpAddress = request.dwSubnetMask = request.dwGateway = 0xFFFFFFFF;
    request.dwDns1 = request.dwDns2 = 0xFFFFFFFF;
    request.bDhcpEnabled = 2;
    Check(tolm.send_module_scan() == 1, "TOLM_SendModuleScan returns 1");
    Check(tolm.send_configure(&request) == 1, "TOLM_SendConfigure returns 1");
}

// A second process on the machine finds the port taken: its sends fail.
int RunSecondProcess() {
    SharedLibrary library;
    TolmExports tolm;
    if (!LoadTolm(kDllName, library, tolm).empty()) return 2;
    const bool refused = tolm.send_module_scan() == 0;
    const bool started = tolm.start() == 1 && tolm.stop() == 1;
    library.Close();
    return refused && started ? 0 : 1;
}

DWORD RunSelfAsSecondProcess() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(path) + L"\" --second-process";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(path, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return 99;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 99;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return status;
}

void RunLoadedSession(const TolmExports& tolm, BroadcastSender& modules) {
    CheckVersion(tolm);
    Check(tolm.register_callback(RecordNotification) == RecordNotification,
          "TOLM_RegisterCallBack returns the callback given");
    Check(RunSelfAsSecondProcess() == 0, "a second process cannot send: the port is taken");

    Check(modules.Send(ScanResponse(1)), "an answer is sent before TOLM_Start");
    Check(tolm.start() == 1, "TOLM_Start returns 1");
    CheckNotifications({1}, "the answer that waited before the start is notified");
    CheckTakesResponse(tolm, 1);
    CheckQueueEmpty(tolm);

    const std::string oversized(2000, 'x');
    Check(modules.Send("") && modules.Send(oversized) && modules.Send("Reconfigured:") &&
              modules.Send(ScanResponse(2)),
          "an empty, an oversized, a reconfigured datagram and an answer are sent");
    CheckNotifications({1, 2, 1}, "empty and oversized datagrams are dropped, the rest notified");
    CheckTakesResponse(tolm, 2);

    Check(tolm.stop() == 1, "TOLM_Stop returns 1");
    Check(tolm.start() == 1, "TOLM_Start after TOLM_Stop returns 1");
    Check(modules.Send(ScanResponse(3)), "an answer is sent to the restarted engine");
    CheckNotifications({1, 2, 1, 1}, "the restarted engine receives and notifies");
    CheckTakesResponse(tolm, 3);
    // The library's own configure request comes back to it and is dropped:
    // the answer sent after it is the next notification and the next record.
    CheckSends(tolm);
    Check(modules.Send(ScanResponse(5)), "an answer is sent after the configure request");
    CheckNotifications({1, 2, 1, 1, 1}, "only the answer is notified, not the echoed requests");
    CheckTakesResponse(tolm, 5);
    CheckQueueEmpty(tolm);
    Check(tolm.stop() == 1, "TOLM_Stop returns 1 again");
}

}  // namespace

int main(int argc, char** argv) {
    tolm::lab::RequireLab("tolm-dll-load-test");
    if (argc > 1 && std::strcmp(argv[1], kSecondProcessFlag) == 0) return RunSecondProcess();

    BroadcastSender modules;
    Check(modules.Ready(), "the test's own sending socket opens");
    SharedLibrary library;
    TolmExports tolm;
    std::string failure = LoadTolm(kDllName, library, tolm);
    if (!failure.empty()) {
        Check(false, "tolm.dll loads and binds its nine exports: " + failure);
        return 1;
    }
    RunLoadedSession(tolm, modules);
    library.Close();
    Check(GetModuleHandleW(L"tolm.dll") == nullptr, "FreeLibrary after TOLM_Stop unloads it");

    // Loading again opens the port again: the unload closed the socket.
    failure = LoadTolm(kDllName, library, tolm);
    if (!failure.empty()) {
        Check(false, "tolm.dll loads a second time: " + failure);
        return 1;
    }
    Check(tolm.send_module_scan() == 1, "the reloaded library has its socket again");
    Check(tolm.start() == 1, "TOLM_Start in the reloaded library returns 1");
    library.Close();
    Check(GetModuleHandleW(L"tolm.dll") != nullptr,
          "FreeLibrary without TOLM_Stop leaves the library to its running worker");
    Check(modules.Send(ScanResponse(4)), "an answer reaches the abandoned worker");
    Sleep(100);
    return Summarize();
}
