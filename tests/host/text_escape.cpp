#include "text_escape.h"

#include <cstdio>

namespace tolm::host {

namespace {

int HexValue(char digit) {
    if (digit >= '0' && digit <= '9') return digit - '0';
    if (digit >= 'a' && digit <= 'f') return digit - 'a' + 10;
    if (digit >= 'A' && digit <= 'F') return digit - 'A' + 10;
    return -1;
}

}  // namespace

std::string Escape(const char* bytes, std::size_t size) {
    std::string out;
    out.reserve(size);
    for (std::size_t i = 0; i < size; ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte == '\\') {
            out += "\\\\";
        } else if (byte > 0x20 && byte < 0x7F) {
            out += static_cast<char>(byte);
        } else {
            char code[5];
            std::snprintf(code, sizeof code, "\\x%02X", byte);
            out += code;
        }
    }
    return out;
}

std::optional<std::string> Unescape(const std::string& word) {
    std::string out;
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (word[i] != '\\') {
            out += word[i];
            continue;
        }
        if (i + 1 < word.size() && word[i + 1] == '\\') {
            out += '\\';
            i += 1;
            continue;
        }
        if (i + 3 >= word.size() || word[i + 1] != 'x') return std::nullopt;
        const int high = HexValue(word[i + 2]);
        const int low = HexValue(word[i + 3]);
        if (high < 0 || low < 0) return std::nullopt;
        out += static_cast<char>(high * 16 + low);
        i += 3;
    }
    return out;
}

std::string HexDump(const void* bytes, std::size_t size) {
    static const char kDigits[] = "0123456789ABCDEF";
    const auto* data = static_cast<const unsigned char*>(bytes);
    std::string out;
    out.reserve(size * 2);
    for (std::size_t i = 0; i < size; ++i) {
        out += kDigits[data[i] >> 4];
        out += kDigits[data[i] & 0x0F];
    }
    return out;
}

}  // namespace tolm::host
