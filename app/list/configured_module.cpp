#include "list/configured_module.h"

#include <algorithm>
#include <cstring>

#include "client/configure_request.h"

ConfiguredModule ConfiguredModuleOf(const TOLM_ConfigureRequestType& request,
                                    std::optional<std::uint32_t> sender) {
    ConfiguredModule module;
    std::copy(request.abMacId, request.abMacId + TOLM_MAC_SIZE, module.mac.begin());
    module.sender = sender;
    if (request.dwIpAddress != tolm::client::kUnchangedAddress) module.new_ip = request.dwIpAddress;
    return module;
}

bool IsReplyOfModule(const TOLM_ReplyType& reply, const ConfiguredModule& module) {
    if (reply.bMacIdValid == 1 && std::memcmp(reply.abMacId, module.mac.data(), TOLM_MAC_SIZE) != 0)
        return false;
    if (!module.sender) return true;
    const std::uint32_t from = reply.origin.dwSenderAddress;
    return from == *module.sender || (module.new_ip && from == *module.new_ip);
}
