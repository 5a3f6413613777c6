#include "record_format.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <sstream>

namespace tolm::host {
namespace {

std::map<std::string, std::string> Fields(const std::string& line) {
    std::map<std::string, std::string> fields;
    std::istringstream words(line);
    for (std::string word; words >> word;) {
        const auto equals = word.find('=');
        fields[word.substr(0, equals)] = word.substr(equals + 1);
    }
    return fields;
}

TOLM_ModuleScanResponseType EmptyResponse() {
    TOLM_ModuleScanResponseType response;
    std::memset(&response, 0xFF, sizeof response);
    return response;
}

TEST(RecordFormat, PrintsEveryFieldOfAFilledRecord) {
    auto response = EmptyResponse();
    response.bIpAddressValid = 1;
    response.dwIpAddress = 0x0A00002C;
    response.bModuleVersionValid = 1;
    response.wModuleVersionBuild = 1000;
    std::strcpy(response.szHostName, "my host");
    const uint8_t mac[] = {0x02, 0, 0, 0, 0, 0xAB};
    std::memcpy(response.abMacId, mac, sizeof mac);

    const auto fields = Fields(FormatResponse(response, false));
    EXPECT_EQ(fields.size(), 27u);
    EXPECT_EQ(fields.at("dwIpAddress"), "0x0A00002C");
    EXPECT_EQ(fields.at("bIpAddressValid"), "1");
    EXPECT_EQ(fields.at("wModuleVersionBuild"), "1000");
    EXPECT_EQ(fields.at("szHostName"), "my\\x20host");
    EXPECT_EQ(fields.at("abMacId"), "02-00-00-00-00-AB");
    EXPECT_EQ(fields.at("bDns2Valid"), "255");
    EXPECT_EQ(fields.count("raw"), 0u);
}

TEST(RecordFormat, UnterminatedTextShowsAllItsBytes) {
    const auto fields = Fields(FormatResponse(EmptyResponse(), false));
    std::string expected;
    for (int i = 0; i < TOLM_TEXT_SIZE; ++i) expected += "\\xFF";
    EXPECT_EQ(fields.at("szFbType"), expected);
}

TEST(RecordFormat, RawDumpCoversTheWholeRecord) {
    auto response = EmptyResponse();
    response.bProtocolVersionMajor = 0x12;
    const auto raw = Fields(FormatResponse(response, true)).at("raw");
    ASSERT_EQ(raw.size(), 2 * sizeof response);
    EXPECT_EQ(raw.substr(0, 4), "12FF");
}

}  // namespace
}  // namespace tolm::host
