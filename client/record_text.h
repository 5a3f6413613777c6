// A scan-response record as the user sees it: the texts of the device list's
// columns and of the further fields, written one way for every host (the
// program's list, linkora, the test hosts).
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "tolm.h"

namespace tolm::client {

// What a field the module did not report reads as.
inline constexpr const char* kNotAvailable = "N/A";

// "192.168.0.1" for 0xC0A80001: the first number from the most significant byte.
std::string IpText(std::uint32_t address);
// "02-00-0A-0B-0C-0D": six upper-case hex groups.
std::string MacText(const std::uint8_t* mac);
// "1.02.3": the minor number always has two digits.
std::string VersionText(unsigned major, unsigned minor, unsigned build);
// "On" for 1, "Off" for every other value.
const char* DhcpText(std::uint8_t dhcp_enabled);
// "On" for any nonzero value, "Off" for 0; used for the password state.
const char* PasswordText(std::uint8_t password_enabled);
// A record's text field up to its NUL, never past its 128 bytes.
std::string FieldText(const char (&text)[TOLM_TEXT_SIZE]);

// The device list's seven columns, in order.
enum ListColumn {
    kColumnIp,
    kColumnSubnet,
    kColumnGateway,
    kColumnDhcp,
    kColumnVersion,
    kColumnType,
    kColumnMac,
    kListColumnCount
};
using ListTexts = std::array<std::string, kListColumnCount>;

// The row of a record: a column whose flag is 0 reads "N/A".
ListTexts ListRowTexts(const TOLM_ModuleScanResponseType& record);

// The further fields linkora shows, "N/A" where not reported.
std::string HostNameText(const TOLM_ModuleScanResponseType& record);
std::string Dns1Text(const TOLM_ModuleScanResponseType& record);
std::string Dns2Text(const TOLM_ModuleScanResponseType& record);
std::string PasswordStateText(const TOLM_ModuleScanResponseType& record);

}  // namespace tolm::client
