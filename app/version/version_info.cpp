#include "version/version_info.h"

#include <shlwapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

#include "version/module_name.h"
#include "version/vfx_pointer.h"

const CRuntimeClass CVFXVersionInfo::classCVFXVersionInfo{"CVFXVersionInfo",
                                                          &CObject::classCObject};

namespace {

constexpr int kStringSize = 256;

void SplitVersion(DWORD most_significant, DWORD least_significant, WORD (&numbers)[4]) {
    numbers[0] = HIWORD(most_significant);
    numbers[1] = LOWORD(most_significant);
    numbers[2] = HIWORD(least_significant);
    numbers[3] = LOWORD(least_significant);
}

}  // namespace

CVFXVersionInfo::CVFXVersionInfo(DWORD code_page, WORD language)
    : m_wLanguage(language), m_dwCodePage(code_page), m_lcidSaved(::GetThreadLocale()) {
    m_lcidUsed = ::IsValidLocale(language, LCID_INSTALLED) ? language : m_lcidSaved;
    if (!::SetThreadLocale(m_lcidUsed)) ::SetThreadLocale(m_lcidSaved);
}

CVFXVersionInfo::~CVFXVersionInfo() {
    ::SetThreadLocale(m_lcidSaved);
}

bool CVFXVersionInfo::GetVersionInfo(CVFXVersionRes& holder, const char* module_name) const {
    CVFXPointer buffer;
    CString path(module_name);
    holder.Clear();
    path.Trim();
    if (path.IsEmpty()) {
        if (!CVFXGetModuleName().GetModuleName(path)) return false;
    } else if (!::PathFileExistsA(path)) {
        return false;
    }
    DWORD handle = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(path, &handle);
    if (size == 0) return false;
    buffer.Reset(new (std::nothrow) unsigned char[size]);
    if (buffer.IsNull()) return false;
    if (!::GetFileVersionInfoA(path, 0, size, buffer.Get())) return false;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixed_length = 0;
    if (!::VerQueryValueA(buffer.Get(), "\\", reinterpret_cast<void**>(&fixed), &fixed_length) ||
        fixed == nullptr || fixed_length < sizeof(VS_FIXEDFILEINFO)) {
        return false;
    }
    holder.m_strModuleName = path;
    SplitVersion(fixed->dwFileVersionMS, fixed->dwFileVersionLS, holder.m_wFileVersion);
    SplitVersion(fixed->dwProductVersionMS, fixed->dwProductVersionLS, holder.m_wProductVersion);
    const struct {
        const char* key;
        CString& value;
    } strings[] = {
        {"ProductVersion", holder.m_strProductVersion},
        {"FileVersion", holder.m_strFileVersion},
        {"CompanyName", holder.m_strCompanyName},
        {"FileDescription", holder.m_strFileDescription},
        {"InternalName", holder.m_strInternalName},
        {"LegalCopyright", holder.m_strLegalCopyright},
        {"OriginalFilename", holder.m_strOriginalFilename},
        {"ProductName", holder.m_strProductName},
        {"Comments", holder.m_strComments},
        {"LegalTrademarks", holder.m_strLegalTrademarks},
        {"PrivateBuild", holder.m_strPrivateBuild},
        {"SpecialBuild", holder.m_strSpecialBuild},
    };
    for (const auto& [key, value] : strings) {
        char text[kStringSize];
        QueryString(buffer.Get(), key, text, sizeof text);  // a missing key stays empty
        value = text;
    }
    return true;
}

bool CVFXVersionInfo::QueryString(const void* block, const char* key, char* buffer,
                                  int size) const {
    std::memset(buffer, 0, static_cast<std::size_t>(size));
    char path[128];
    std::snprintf(path, sizeof path, "\\StringFileInfo\\%04x%04x\\%s", m_wLanguage,
                  static_cast<unsigned>(m_dwCodePage), key);
    char* value = nullptr;
    UINT length = 0;
    if (!::VerQueryValueA(block, path, reinterpret_cast<void**>(&value), &length) ||
        value == nullptr || length == 0) {
        return false;
    }
    const std::size_t text_length = strnlen(value, length);
    std::memcpy(buffer, value, std::min(text_length, static_cast<std::size_t>(size) - 1));
    return true;
}
