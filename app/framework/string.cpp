#include "framework/string.h"

#include <windows.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>

void CString::Format(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    va_list measuring;
    va_copy(measuring, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, measuring);
    va_end(measuring);
    if (length < 0) {
        m_text.clear();
    } else {
        m_text.assign(static_cast<std::size_t>(length) + 1, '\0');
        std::vsnprintf(m_text.data(), m_text.size(), format, arguments);
        m_text.resize(static_cast<std::size_t>(length));
    }
    va_end(arguments);
}

int CString::Remove(char ch) {
    const auto removed = std::erase(m_text, ch);
    return static_cast<int>(removed);
}

int CString::Replace(char from, char to) {
    int replaced = 0;
    for (char& each : m_text) {
        if (each == from) {
            each = to;
            ++replaced;
        }
    }
    return replaced;
}

CString& CString::Trim() {
    constexpr const char* kWhiteSpace = " \t\n\v\f\r";
    const auto first = m_text.find_first_not_of(kWhiteSpace);
    if (first == std::string::npos) {
        m_text.clear();
    } else {
        m_text = m_text.substr(first, m_text.find_last_not_of(kWhiteSpace) - first + 1);
    }
    return *this;
}

bool CString::LoadString(unsigned id) {
    // A string-table entry is at most 4,095 characters long.
    char text[4096];
    const int length = ::LoadStringA(GetModuleHandleA(nullptr), id, text, sizeof text);
    m_text.assign(text, length > 0 ? static_cast<std::size_t>(length) : 0);
    return length > 0;
}

CString& CString::operator+=(const CString& more) {
    m_text += more.m_text;
    return *this;
}
