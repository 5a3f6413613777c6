// clang-format off
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
#include <netfw.h>
#include <netlistmgr.h>
#include <tlhelp32.h>
// clang-format on

#include <cstdio>

#include "cli/doctor/windows_firewall.h"
#include "cli/platform/doctor_reading.h"

namespace tolm::linkora::doctor {
namespace {

std::string Utf8(const wchar_t* text) {
    if (text == nullptr) return {};
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return {};
    std::string out(static_cast<std::size_t>(size - 1), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
    return out;
}

std::string Hex(long code) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(code));
    return text;
}

std::uint32_t MaskOf(unsigned prefix) {
    return prefix == 0 ? 0 : 0xFFFFFFFFu << (32 - std::min(prefix, 32u));
}

// GetAdaptersAddresses into a buffer that grows as it asks; empty on failure.
std::vector<unsigned char> AdapterAddresses(ULONG& error) {
    ULONG size = 16 * 1024;
    std::vector<unsigned char> buffer;
    for (int attempt = 0; attempt < 4; ++attempt) {
        buffer.resize(size);
        error = ::GetAdaptersAddresses(
            AF_UNSPEC, GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER,
            nullptr, reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()), &size);
        if (error != ERROR_BUFFER_OVERFLOW) break;
    }
    if (error != NO_ERROR) buffer.clear();
    return buffer;
}

std::string ProcessName(DWORD pid) {
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return {};
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    std::string name;
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more;
         more = ::Process32NextW(snapshot, &entry))
        if (entry.th32ProcessID == pid) name = Utf8(entry.szExeFile);
    ::CloseHandle(snapshot);
    return name;
}

// Releases a COM pointer when it goes.
template <typename T>
struct Com {
    T* p = nullptr;
    ~Com() {
        if (p != nullptr) p->Release();
    }
};

std::string TakeBstr(BSTR text) {
    const std::string out = Utf8(text);
    ::SysFreeString(text);
    return out;
}

std::vector<FirewallRule> ReadRules(INetFwPolicy2* policy, bool& read,
                                    std::vector<Finding>& findings) {
    std::vector<FirewallRule> rules;
    Com<INetFwRules> list;
    Com<IUnknown> unknown;
    Com<IEnumVARIANT> items;
    HRESULT hr = policy->get_Rules(&list.p);
    if (SUCCEEDED(hr)) hr = list.p->get__NewEnum(&unknown.p);
    if (SUCCEEDED(hr))
        hr = unknown.p->QueryInterface(__uuidof(IEnumVARIANT), reinterpret_cast<void**>(&items.p));
    if (FAILED(hr)) {
        findings.push_back(
            CouldNotCheck("firewall", "the firewall's rules (the API answered " + Hex(hr) + ")"));
        read = false;
        return rules;
    }
    VARIANT item;
    ::VariantInit(&item);
    ULONG fetched = 0;
    while (items.p->Next(1, &item, &fetched) == S_OK && fetched == 1) {
        Com<INetFwRule> rule;
        if (item.vt == VT_DISPATCH && item.pdispVal != nullptr &&
            SUCCEEDED(item.pdispVal->QueryInterface(__uuidof(INetFwRule),
                                                    reinterpret_cast<void**>(&rule.p)))) {
            FirewallRule r;
            BSTR text = nullptr;
            if (SUCCEEDED(rule.p->get_Name(&text))) r.name = TakeBstr(text);
            text = nullptr;
            if (SUCCEEDED(rule.p->get_ApplicationName(&text))) r.application = TakeBstr(text);
            text = nullptr;
            if (SUCCEEDED(rule.p->get_LocalPorts(&text))) r.local_ports = TakeBstr(text);
            LONG number = 0;
            if (SUCCEEDED(rule.p->get_Protocol(&number))) r.protocol = number;
            if (SUCCEEDED(rule.p->get_Profiles(&number))) r.profiles = number;
            NET_FW_RULE_DIRECTION direction = NET_FW_RULE_DIR_IN;
            if (SUCCEEDED(rule.p->get_Direction(&direction)))
                r.inbound = direction == NET_FW_RULE_DIR_IN;
            NET_FW_ACTION action = NET_FW_ACTION_ALLOW;
            if (SUCCEEDED(rule.p->get_Action(&action))) r.allow = action == NET_FW_ACTION_ALLOW;
            VARIANT_BOOL enabled = VARIANT_TRUE;
            if (SUCCEEDED(rule.p->get_Enabled(&enabled))) r.enabled = enabled != VARIANT_FALSE;
            rules.push_back(r);
        }
        ::VariantClear(&item);
    }
    return rules;
}

std::vector<FirewallProfile> ReadProfiles(INetFwPolicy2* policy, std::vector<Finding>& findings) {
    long current = 0;
    HRESULT hr = policy->get_CurrentProfileTypes(&current);
    if (FAILED(hr)) {
        findings.push_back(CouldNotCheck("firewall",
                                         "which firewall profiles are in force (the "
                                         "API answered " +
                                             Hex(hr) + "): the rules of all three are judged"));
        current = kDomainProfile | kPrivateProfile | kPublicProfile;
    }
    NET_FW_MODIFY_STATE modify = NET_FW_MODIFY_STATE_OK;
    const bool ignored = SUCCEEDED(policy->get_LocalPolicyModifyState(&modify)) &&
                         modify == NET_FW_MODIFY_STATE_GP_OVERRIDE;
    std::vector<FirewallProfile> profiles;
    for (const std::int32_t type : {kDomainProfile, kPrivateProfile, kPublicProfile}) {
        if (!(current & type)) continue;
        const auto profile = static_cast<NET_FW_PROFILE_TYPE2>(type);
        FirewallProfile p;
        p.type = type;
        p.local_rules_ignored = ignored;
        VARIANT_BOOL flag = VARIANT_TRUE;
        hr = policy->get_FirewallEnabled(profile, &flag);
        if (FAILED(hr)) {
            findings.push_back(CouldNotCheck("firewall", "whether the firewall is on for the " +
                                                             ProfileNames(type) + " profile (" +
                                                             Hex(hr) + ")"));
            continue;
        }
        p.enabled = flag != VARIANT_FALSE;
        if (SUCCEEDED(policy->get_BlockAllInboundTraffic(profile, &flag)))
            p.block_all_inbound = flag != VARIANT_FALSE;
        NET_FW_ACTION action = NET_FW_ACTION_BLOCK;
        if (SUCCEEDED(policy->get_DefaultInboundAction(profile, &action)))
            p.inbound_blocked_by_default = action == NET_FW_ACTION_BLOCK;
        profiles.push_back(p);
    }
    return profiles;
}

// The network category of each adapter, by its GUID, from the Network List Manager.
void NetworkCategories(const std::vector<unsigned char>& addresses,
                       std::vector<Finding>& findings) {
    Com<INetworkListManager> manager;
    Com<IEnumNetworkConnections> connections;
    HRESULT hr =
        ::CoCreateInstance(__uuidof(NetworkListManager), nullptr, CLSCTX_ALL,
                           __uuidof(INetworkListManager), reinterpret_cast<void**>(&manager.p));
    if (SUCCEEDED(hr)) hr = manager.p->GetNetworkConnections(&connections.p);
    if (FAILED(hr) || connections.p == nullptr) {
        findings.push_back(CouldNotCheck("firewall",
                                         "each adapter's network profile (the API "
                                         "answered " +
                                             Hex(hr) + ")"));
        return;
    }
    INetworkConnection* connection = nullptr;
    ULONG fetched = 0;
    while (connections.p->Next(1, &connection, &fetched) == S_OK && fetched == 1) {
        Com<INetworkConnection> held{connection};
        Com<INetwork> network;
        GUID id;
        NLM_NETWORK_CATEGORY category = NLM_NETWORK_CATEGORY_PUBLIC;
        if (FAILED(connection->GetAdapterId(&id)) || FAILED(connection->GetNetwork(&network.p)) ||
            FAILED(network.p->GetCategory(&category)))
            continue;
        wchar_t guid[64];
        ::StringFromGUID2(id, guid, 64);
        std::string adapter = Utf8(guid);
        bool loopback = false;
        for (auto* a = reinterpret_cast<const IP_ADAPTER_ADDRESSES*>(addresses.data());
             !addresses.empty() && a != nullptr; a = a->Next)
            if (_stricmp(a->AdapterName, adapter.c_str()) == 0) {
                adapter = Utf8(a->FriendlyName);
                loopback = a->IfType == IF_TYPE_SOFTWARE_LOOPBACK;
            }
        if (loopback) continue;
        const std::int32_t profile = category == NLM_NETWORK_CATEGORY_DOMAIN_AUTHENTICATED
                                         ? kDomainProfile
                                     : category == NLM_NETWORK_CATEGORY_PRIVATE ? kPrivateProfile
                                                                                : kPublicProfile;
        findings.push_back({Level::kInfo, "firewall",
                            adapter + "'s network is " + ProfileNames(profile) +
                                ": that profile's rules apply to it",
                            ""});
    }
}

}  // namespace

Reading<std::vector<NetInterface>> ReadInterfaces() {
    ULONG error = 0;
    const std::vector<unsigned char> buffer = AdapterAddresses(error);
    if (buffer.empty())
        return {std::nullopt, "GetAdaptersAddresses answered " + std::to_string(error)};
    std::vector<NetInterface> interfaces;
    for (auto* a = reinterpret_cast<const IP_ADAPTER_ADDRESSES*>(buffer.data()); a != nullptr;
         a = a->Next) {
        NetInterface i;
        i.name = Utf8(a->FriendlyName);
        i.description = Utf8(a->Description);
        i.index = a->IfIndex;
        i.up = a->OperStatus == IfOperStatusUp;
        i.kind = a->IfType == IF_TYPE_SOFTWARE_LOOPBACK                    ? AdapterKind::kLoopback
                 : a->IfType == IF_TYPE_IEEE80211                          ? AdapterKind::kWireless
                 : a->IfType == IF_TYPE_TUNNEL || a->IfType == IF_TYPE_PPP ? AdapterKind::kVirtual
                                                                           : AdapterKind::kEthernet;
        for (const IP_ADAPTER_UNICAST_ADDRESS* u = a->FirstUnicastAddress; u != nullptr;
             u = u->Next)
            if (u->Address.lpSockaddr != nullptr && u->Address.lpSockaddr->sa_family == AF_INET)
                i.ipv4.push_back({ntohl(reinterpret_cast<const sockaddr_in*>(u->Address.lpSockaddr)
                                            ->sin_addr.s_addr),
                                  MaskOf(u->OnLinkPrefixLength)});
        interfaces.push_back(i);
    }
    return {interfaces, ""};
}

Reading<std::string> ReadDefaultRoute() {
    DWORD index = 0;
    // Any address beyond the PC's subnets goes where the default route leads.
    const DWORD error = ::GetBestInterface(htonl(0x08080808), &index);
    if (error == ERROR_NETWORK_UNREACHABLE || error == ERROR_HOST_UNREACHABLE)
        return {std::string(), ""};
    if (error != NO_ERROR)
        return {std::nullopt, "GetBestInterface answered " + std::to_string(error)};
    const Reading<std::vector<NetInterface>> interfaces = ReadInterfaces();
    for (const NetInterface& i : interfaces.value.value_or(std::vector<NetInterface>{}))
        if (i.index == index) return {i.name, ""};
    return {std::string(), ""};
}

Reading<std::vector<PortHolder>> ReadPortHolders(std::uint16_t port) {
    DWORD size = 0;
    std::vector<unsigned char> buffer;
    DWORD error = ERROR_INSUFFICIENT_BUFFER;
    for (int attempt = 0; attempt < 4 && error == ERROR_INSUFFICIENT_BUFFER; ++attempt) {
        buffer.resize(size);
        error = ::GetExtendedUdpTable(buffer.empty() ? nullptr : buffer.data(), &size, FALSE,
                                      AF_INET, UDP_TABLE_OWNER_PID, 0);
    }
    if (error != NO_ERROR)
        return {std::nullopt, "GetExtendedUdpTable answered " + std::to_string(error)};
    std::vector<PortHolder> holders;
    const auto* table = reinterpret_cast<const MIB_UDPTABLE_OWNER_PID*>(buffer.data());
    for (DWORD n = 0; n < table->dwNumEntries; ++n) {
        const MIB_UDPROW_OWNER_PID& row = table->table[n];
        if (ntohs(static_cast<u_short>(row.dwLocalPort)) != port) continue;
        PortHolder holder;
        holder.local_address = ntohl(row.dwLocalAddr);
        holder.pid = row.dwOwningPid;
        holder.program = ProcessName(row.dwOwningPid);
        holders.push_back(holder);
    }
    return {holders, ""};
}

std::uint32_t OwnProcessId() {
    return ::GetCurrentProcessId();
}

Reading<KernelDrops> ReadKernelDrops() {
    MIB_UDPSTATS stats{};
    const DWORD error = ::GetUdpStatistics(&stats);
    if (error != NO_ERROR)
        return {std::nullopt, "GetUdpStatistics answered " + std::to_string(error)};
    KernelDrops drops;
    drops.errors = stats.dwInErrors;
    return {drops, ""};
}

std::vector<Finding> FirewallFindings(const std::vector<NetInterface>&, const std::string&,
                                      std::uint16_t port) {
    std::vector<Finding> findings;
    const HRESULT init = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
        Com<INetFwPolicy2> policy;
        const HRESULT hr =
            ::CoCreateInstance(__uuidof(NetFwPolicy2), nullptr, CLSCTX_INPROC_SERVER,
                               __uuidof(INetFwPolicy2), reinterpret_cast<void**>(&policy.p));
        if (FAILED(hr)) {
            findings.push_back(CouldNotCheck(
                "firewall", "the Windows Firewall (its API answered " + Hex(hr) + ")"));
        } else {
            FirewallState state;
            state.profiles = ReadProfiles(policy.p, findings);
            state.rules = ReadRules(policy.p, state.rules_read, findings);
            wchar_t path[MAX_PATH];
            const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
            std::string self = length > 0 && length < MAX_PATH ? Utf8(path) : "linkora.exe";
            const std::size_t slash = self.find_last_of('\\');
            const std::string folder = slash == std::string::npos ? "" : self.substr(0, slash + 1);
            const std::vector<Finding> judged =
                WindowsFirewallFindings(state, {self, folder + "Brannic Linkora CFG.exe"}, port);
            findings.insert(findings.end(), judged.begin(), judged.end());
        }
        ULONG error = 0;
        NetworkCategories(AdapterAddresses(error), findings);
    }
    if (SUCCEEDED(init)) ::CoUninitialize();
    return findings;
}

std::string StaticAddressCommand(const std::string& adapter) {
    return "as an administrator: netsh interface ipv4 set address name=\"" + adapter +
           "\" static 192.168.1.10 255.255.255.0 (an address on the modules' subnet)";
}

}  // namespace tolm::linkora::doctor
