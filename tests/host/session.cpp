#include "session.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <sstream>

#include "adapter_commands.h"
#include "callbacks.h"
#include "configure_args.h"
#include "failing_allocator.h"
#include "record_format.h"
#include "record_text.h"
#include "reply_commands.h"

namespace tolm::host {

namespace {

constexpr unsigned char kUntouchedByte = 0xA5;

std::string Reply(const std::string& command, int32_t result) {
    return command + " result=" + std::to_string(result);
}

std::string Join(const std::vector<std::string>& items) {
    std::string out;
    for (const auto& item : items) out += (out.empty() ? "" : ",") + item;
    return out;
}

std::string EventFields() {
    std::vector<std::string> codes;
    for (const int32_t code : TheNotifyLog().Codes()) codes.push_back(std::to_string(code));
    return "count=" + std::to_string(codes.size()) + " codes=" + Join(codes);
}

bool ReadCount(const std::string& text, long long& value) {
    std::size_t used = 0;
    try {
        value = std::stoll(text, &used);
    } catch (...) {
        return false;
    }
    return used == text.size() && value >= 0;
}

}  // namespace

std::vector<std::string> SplitWords(const std::string& line) {
    std::istringstream stream(line);
    std::vector<std::string> words;
    for (std::string word; stream >> word;) words.push_back(word);
    return words;
}

std::string Session::Load(const Args& args) {
    if (library_.IsOpen()) return "error library already loaded";
    const bool failing = !args.empty() && args[0] == "fail-allocations";
    if (!args.empty() && !failing) return "error load takes nothing or fail-allocations";
    if (failing && !FailAllocations(true)) return "error fail-allocations is not supported here";
    const std::string failure = client::LoadTolm(library_path_, library_, exports_);
    if (failing) FailAllocations(false);
    if (!failure.empty()) return "error " + failure;
    SetCallbackExports(&exports_);
    return "load result=1";
}

std::string Session::Execute(const std::string& line) {
    Args words = SplitWords(line);
    if (words.empty()) return "error empty command";
    const std::string command = words.front();
    const Args args(words.begin() + 1, words.end());
    if (command == "quit") return Quit();
    if (command == "events") return Events();
    if (command == "wait-events") return WaitEvents(args);
    if (command == "inner") return InnerCalls();
    if (command == "load") return Load(args);
    if (!library_.IsOpen()) return "error library not loaded";
    if (command == "unload") return Unload();
    if (command == "callback") return Callback(args);
    if (command == "start") return Start();
    if (command == "stop") return Stop();
    if (command == "scan") return Reply("scan", exports_.send_module_scan());
    if (command == "configure") return Configure(args);
    if (command == "take") return Take(args);
    if (command == "peek") return Peek();
    if (command == "remove") return Remove();
    if (command == "version") return Version(args);
    if (command == "socket-status") return SocketStatus();
    if (IsAdapterCommand(command)) return RunAdapterCommand(exports_, words);
    if (IsReplyCommand(command)) return RunReplyCommand(exports_, words);
    return "error unknown command " + command;
}

std::string Session::Unload() {
    library_.Close();
    running_ = false;
    return "unload result=1";
}

// A worker left running would execute unloaded code, so quit stops it
// first and says so.
std::string Session::Quit() {
    quit_ = true;
    const bool stopped = library_.IsOpen() && running_;
    if (stopped) exports_.stop();
    library_.Close();
    return std::string("quit stopped=") + (stopped ? "1" : "0");
}

std::string Session::Callback(const Args& args) {
    if (args.empty())
        return "error callback needs on, off, take-in-callback, stop-in-callback [MS] or slow MS";
    TOLM_NotifyCallback callback = nullptr;
    const std::string& mode = args[0];
    long long delay_ms = 0;
    if (mode == "on") {
        callback = RecordingCallback;
    } else if (mode == "take-in-callback") {
        callback = TakingCallback;
    } else if (mode == "stop-in-callback") {
        // A delay keeps the callback running after its Stop, for a host that unloads meanwhile.
        if (args.size() == 2 && !ReadCount(args[1], delay_ms)) return "error bad delay";
        SetCallbackDelayMs(static_cast<int>(delay_ms));
        callback = StoppingCallback;
    } else if (mode == "slow" && args.size() == 2 && ReadCount(args[1], delay_ms)) {
        SetCallbackDelayMs(static_cast<int>(delay_ms));
        callback = SlowCallback;
    } else if (mode != "off") {
        return "error unknown callback mode " + mode;
    }
    const TOLM_NotifyCallback returned = exports_.register_callback(callback);
    return std::string("callback returned=") + (returned == callback ? "given" : "other");
}

std::string Session::Start() {
    const int32_t result = exports_.start();
    running_ = true;
    return Reply("start", result);
}

std::string Session::Stop() {
    const int32_t result = exports_.stop();
    running_ = false;
    NotifyLog& log = TheNotifyLog();
    return Reply("stop", result) + " active=" + std::to_string(log.Active()) +
           " events=" + std::to_string(log.Codes().size());
}

std::string Session::Configure(const Args& args) {
    std::string error;
    const auto request = ParseConfigureArgs(args, error);
    if (!request) return "error " + error;
    return Reply("configure", exports_.send_configure(&*request));
}

// The buffer starts filled with a marker so that an empty take can show
// whether the library wrote into it.
std::string Session::Take(const Args& args) {
    const bool raw = !args.empty() && args[0] == "raw";
    TOLM_ModuleScanResponseType response;
    std::memset(&response, kUntouchedByte, sizeof response);
    const int32_t result = exports_.get_response(&response);
    if (result) return Reply("take", result) + " " + FormatResponse(response, raw);
    const auto* bytes = reinterpret_cast<const unsigned char*>(&response);
    const bool untouched = std::all_of(bytes, bytes + sizeof response,
                                       [](unsigned char byte) { return byte == kUntouchedByte; });
    return Reply("take", result) + " untouched=" + (untouched ? "1" : "0");
}

std::string Session::Peek() {
    uint8_t mac[TOLM_MAC_SIZE] = {0, 0, 0, 0, 0, 0};
    const int32_t result = exports_.get_inv_pswd_mac_id(mac);
    return Reply("peek", result) + " mac=" + client::MacText(mac);
}

std::string Session::Remove() {
    return Reply("remove", exports_.remove_first_inv_pswd_mac_id());
}

std::string Session::Events() const {
    return "events " + EventFields();
}

std::string Session::WaitEvents(const Args& args) const {
    long long count = 0;
    long long timeout_ms = 0;
    if (args.size() != 2 || !ReadCount(args[0], count) || !ReadCount(args[1], timeout_ms))
        return "error wait-events needs COUNT TIMEOUT_MS";
    const bool reached = TheNotifyLog().WaitForCount(static_cast<std::size_t>(count),
                                                     std::chrono::milliseconds(timeout_ms));
    return std::string("wait-events result=") + (reached ? "1" : "0") + " " + EventFields();
}

std::string Session::InnerCalls() const {
    const auto entries = TheNotifyLog().InnerCalls();
    return "inner count=" + std::to_string(entries.size()) + " entries=" + Join(entries);
}

std::string Session::SocketStatus() {
    if (exports_.get_socket_status == nullptr)
        return "error the library lacks TOLM_GetSocketStatus";
    int32_t os_error = -1;
    const int32_t status = exports_.get_socket_status(&os_error);
    return Reply("socket-status", status) + " os-error=" + std::to_string(os_error);
}

// The size member goes in as given (default the structure's size) so a
// reply shows whether the library touched it.
std::string Session::Version(const Args& args) {
    long long size = sizeof(TOLM_DllVersionInfoType);
    if (!args.empty() && !ReadCount(args[0], size)) return "error version takes a size";
    TOLM_DllVersionInfoType info = {static_cast<uint32_t>(size), 0xEEEEEEEE, 0xEEEEEEEE, 0xEEEEEEEE,
                                    0xEEEEEEEE};
    const int32_t result = exports_.dll_get_version(&info);
    return Reply("version", result) + " cbSize=" + std::to_string(info.cbSize) +
           " major=" + std::to_string(info.dwMajorVersion) +
           " minor=" + std::to_string(info.dwMinorVersion) +
           " build=" + std::to_string(info.dwBuildNumber) +
           " platform=" + std::to_string(info.dwPlatformID);
}

}  // namespace tolm::host
