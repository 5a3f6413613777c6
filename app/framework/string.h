// CString: the layer's text type, a std::string with the few operations the
// dialogs use (formatting, trimming, character edits, string resources).
#pragma once

#include <windows.h>

#include <string>

class CString {
  public:
    CString() = default;
    CString(const char* text) : m_text(text != nullptr ? text : "") {}
    CString(std::string text) : m_text(std::move(text)) {}

    operator const char*() const { return m_text.c_str(); }
    const char* GetString() const { return m_text.c_str(); }
    const std::string& str() const { return m_text; }
    int GetLength() const { return static_cast<int>(m_text.size()); }
    bool IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }

    // printf-style; the text is as long as the format needs.
    void Format(const char* format, ...);
    // Removes every `ch`; returns how many were removed.
    int Remove(char ch);
    // Replaces every `from` by `to`; returns how many were replaced.
    int Replace(char from, char to);
    // Drops blanks, tabs, line and page breaks from both ends.
    CString& Trim();
    // The string-table entry `id` of the program; false (and empty) when there is none.
    bool LoadString(unsigned id);

    CString& operator+=(const CString& more);
    friend CString operator+(CString left, const CString& right) { return left += right; }
    friend bool operator==(const CString& left, const CString& right) {
        return left.m_text == right.m_text;
    }

  private:
    std::string m_text;
};
