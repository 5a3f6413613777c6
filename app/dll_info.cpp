#include "dll_info.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The sub-block of the string table to read: the file's one translation,
// else the user's language in Unicode.
std::string FileVersionBlock(void* block) {
    char name[64];
    const WORD* translation = nullptr;
    UINT length = 0;
    if (::VerQueryValueA(block, "\\VarFileInfo\\Translation",
                         reinterpret_cast<void**>(const_cast<WORD**>(&translation)), &length) &&
        length == 4) {
        const WORD language = translation[0];
        const WORD code_page = translation[1];
        std::snprintf(name, sizeof name, "\\StringFileInfo\\%02X%02X%02X%02X\\FileVersion",
                      HIBYTE(language), LOBYTE(language), HIBYTE(code_page), LOBYTE(code_page));
    } else {
        std::snprintf(name, sizeof name, "\\StringFileInfo\\%04X04B0\\FileVersion",
                      ::GetUserDefaultLangID());
    }
    return name;
}

// One token of the text, as strtok splits it: runs of separators count as one.
char* NextToken(char*& rest, char separator) {
    while (*rest == separator) ++rest;
    if (*rest == '\0') return nullptr;
    char* token = rest;
    while (*rest != '\0' && *rest != separator) ++rest;
    if (*rest != '\0') *rest++ = '\0';
    return token;
}

}  // namespace

bool CDllInfo::ReadFileVersionString(const char* file, char* buffer, int size) {
    DWORD handle = 0;
    const DWORD info_size = ::GetFileVersionInfoSizeA(file, &handle);
    if (info_size == 0 || size <= 0) return false;
    std::vector<char> block(info_size + 1);
    if (!::GetFileVersionInfoA(file, 0, info_size, block.data())) return false;
    char* value = nullptr;
    UINT length = 0;
    if (!::VerQueryValueA(block.data(), FileVersionBlock(block.data()).c_str(),
                          reinterpret_cast<void**>(&value), &length) ||
        value == nullptr) {
        return false;
    }
    // The value need not end inside the block; take at most `length` characters.
    const std::size_t copied =
        std::min<std::size_t>(strnlen(value, length), static_cast<std::size_t>(size) - 1);
    std::memcpy(buffer, value, copied);
    buffer[copied] = '\0';
    return true;
}

bool CDllInfo::SplitVersionString(char* text, int& first, int& second, int& third, char separator) {
    char* rest = text;
    for (int* number : {&first, &second, &third}) {
        const char* token = NextToken(rest, separator);
        if (token == nullptr) return false;
        // strtol, unlike atoi, is defined for numbers out of range: they read as the limit.
        *number = static_cast<int>(std::strtol(token, nullptr, 10));
    }
    return true;
}

bool CDllInfo::GetFileVersionNumbers(const char* file, int& first, int& second, int& third) {
    char version[256];
    if (!ReadFileVersionString(file, version, sizeof version)) return false;
    return SplitVersionString(version, first, second, third, '.') ||
           SplitVersionString(version, first, second, third, ',');
}

bool IsAcceptedTolmVersion(int first, int second) {
    return first == 1 && second == 3;
}
