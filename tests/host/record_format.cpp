#include "record_format.h"

#include <cstdio>
#include <cstring>

#include "record_text.h"
#include "text_escape.h"

namespace tolm::host {

namespace {

class Fields {
  public:
    void Number(const char* key, unsigned value) { Add(key, std::to_string(value)); }

    void Address(const char* key, uint32_t value) {
        char text[11];
        std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
        Add(key, text);
    }

    // Up to the NUL; a field never filled has none, so all 128 bytes show.
    void Text(const char* key, const char (&text)[TOLM_TEXT_SIZE]) {
        const void* nul = std::memchr(text, '\0', sizeof text);
        const std::size_t size =
            nul != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nul) - text)
                           : sizeof text;
        Add(key, Escape(text, size));
    }

    void Add(const char* key, const std::string& value) {
        if (!line_.empty()) line_ += ' ';
        line_ += key;
        line_ += '=';
        line_ += value;
    }

    const std::string& Line() const { return line_; }

  private:
    std::string line_;
};

}  // namespace

std::string FormatResponse(const TOLM_ModuleScanResponseType& r, bool raw) {
    Fields fields;
    fields.Number("bProtocolVersionMajor", r.bProtocolVersionMajor);
    fields.Number("bProtocolVersionMinor", r.bProtocolVersionMinor);
    fields.Number("bProtocolVersionValid", r.bProtocolVersionValid);
    fields.Text("szFbType", r.szFbType);
    fields.Number("bFbTypeValid", r.bFbTypeValid);
    fields.Number("bModuleVersionMajor", r.bModuleVersionMajor);
    fields.Number("bModuleVersionMinor", r.bModuleVersionMinor);
    fields.Number("wModuleVersionBuild", r.wModuleVersionBuild);
    fields.Number("bModuleVersionValid", r.bModuleVersionValid);
    fields.Add("abMacId", client::MacText(r.abMacId));
    fields.Number("bMacIdValid", r.bMacIdValid);
    fields.Address("dwIpAddress", r.dwIpAddress);
    fields.Number("bIpAddressValid", r.bIpAddressValid);
    fields.Address("dwSubnetMask", r.dwSubnetMask);
    fields.Number("bSubnetMaskValid", r.bSubnetMaskValid);
    fields.Address("dwGateway", r.dwGateway);
    fields.Number("bGatewayValid", r.bGatewayValid);
    fields.Number("bDhcpEnabled", r.bDhcpEnabled);
    fields.Number("bDhcpValid", r.bDhcpValid);
    fields.Number("bPswdEnabled", r.bPswdEnabled);
    fields.Number("bPswdValid", r.bPswdValid);
    fields.Text("szHostName", r.szHostName);
    fields.Number("bHostNameValid", r.bHostNameValid);
    fields.Address("dwDns1", r.dwDns1);
    fields.Number("bDns1Valid", r.bDns1Valid);
    fields.Address("dwDns2", r.dwDns2);
    fields.Number("bDns2Valid", r.bDns2Valid);
    if (raw) fields.Add("raw", HexDump(&r, sizeof r));
    return fields.Line();
}

}  // namespace tolm::host
