// The library binding against stand-in libraries with different version
// resources, each alone in a folder and loaded as "tolm.dll" from there.
#include <windows.h>

#include <cstring>
#include <string>

#include "check_log.h"
#include "dll_info.h"
#include "gui_tests.h"
#include "harness.h"
#include "lab_environment.h"
#include "tolm_library.h"

using tolm::windows_test::Check;

namespace gui_test {
namespace {

bool AllBound() {
    const TolmFunctions& f = Tolm();
    return f.TOLM_GetResponse && f.TOLM_GetInvPswdMacId && f.TOLM_RemoveFirstInvPswdMacId &&
           f.TOLM_Start && f.TOLM_Stop && f.TOLM_SendModuleScan && f.TOLM_SendConfigure &&
           f.TOLM_RegisterCallBack && f.DllGetVersion;
}

bool NoneBound() {
    const TolmFunctions& f = Tolm();
    return !IsTolmLibraryBound() && !f.TOLM_GetResponse && !f.TOLM_GetInvPswdMacId &&
           !f.TOLM_RemoveFirstInvPswdMacId && !f.TOLM_Start && !f.TOLM_Stop &&
           !f.TOLM_SendModuleScan && !f.TOLM_SendConfigure && !f.TOLM_RegisterCallBack &&
           !f.DllGetVersion && !f.TOLM_GetSocketStatus;
}

bool LoadedFrom(const std::string& variant) {
    const HMODULE module = ::GetModuleHandleA(kTolmFileName);
    char path[MAX_PATH] = {};
    if (module == nullptr || ::GetModuleFileNameA(module, path, MAX_PATH) == 0) return false;
    return std::string(path).find("\\binding\\" + variant + "\\") != std::string::npos;
}

bool Shows(const MessageBoxRecorder& boxes, HWND owner, const char* text, const char* caption,
           UINT type) {
    return boxes.Calls().size() == 1 && boxes.Calls()[0].owner == owner &&
           boxes.Calls()[0].text == text && boxes.Calls()[0].caption == caption &&
           boxes.Calls()[0].type == type;
}

void CheckAccepted(const CWnd& owner, const std::string& variant, const std::string& why) {
    UseLibraryFolder(variant);
    MessageBoxRecorder boxes;
    const bool bound = CheckAndLoadTolmLibrary(owner);
    Check(bound && boxes.Calls().empty() && AllBound() && LoadedFrom(variant),
          why + ": accepted, loaded and all nine functions bound");
    const bool freed = FreeTolmLibrary();
    Check(
        freed && NoneBound() && ::GetModuleHandleA(kTolmFileName) == nullptr && !FreeTolmLibrary(),
        why + ": FreeTolmLibrary unloads it once; then nothing is bound");
}

void CheckRefusedVersion(const CWnd& owner, const std::string& variant, const std::string& why) {
    UseLibraryFolder(variant);
    MessageBoxRecorder boxes;
    const bool bound = CheckAndLoadTolmLibrary(owner);
    Check(!bound &&
              Shows(boxes, owner.m_hWnd, "Incorrect TOLM.DLL version", "Warning",
                    MB_OK | MB_ICONEXCLAMATION) &&
              NoneBound() && ::GetModuleHandleA(kTolmFileName) == nullptr,
          why + ": refused with \"Incorrect TOLM.DLL version\", nothing loaded");
}

std::string FileVersion(const std::string& variant) {
    UseLibraryFolder(variant);
    char version[256] = "untouched";
    if (!CDllInfo().ReadFileVersionString(kTolmFileName, version, sizeof version)) return "-";
    return version;
}

void CheckVersionString() {
    Check(FileVersion("dotted_1307") == "1.3.0.7" && FileVersion("german_only") == "1, 3, 0, 5",
          "the FileVersion string of the file's one translation");
    const LANGID user = ::GetUserDefaultLangID();
    const std::string expected = user == 0x0409   ? "1, 3, 0, 2"
                                 : user == 0x0407 ? "2, 0, 0, 0"
                                                  : "-";
    Check(FileVersion("two_translations") == expected,
          "with two translations the user's default language is read (" + std::to_string(user) +
              "): " + FileVersion("two_translations"));
    if (user != 0x0407 && user != 0x040C) {
        Check(FileVersion("two_translations_other") == "-",
              "with two translations and none in the user's language there is no version");
    }
    UseLibraryFolder("dotted_1307");
    char cut[4];
    Check(CDllInfo().ReadFileVersionString(kTolmFileName, cut, sizeof cut) &&
              std::string(cut) == "1.3",
          "a version string longer than the buffer is cut and terminated");

    CDllInfo info;
    auto split = [&info](const char* text, char separator) {
        char copy[64];
        std::strcpy(copy, text);
        int first = -7, second = -7, third = -7;
        const bool found = info.SplitVersionString(copy, first, second, third, separator);
        return std::to_string(found) + ":" + std::to_string(first) + "," + std::to_string(second) +
               "," + std::to_string(third);
    };
    Check(split("1, 3, 1, 1", ',') == "1:1,3,1" && split("1, 3, 1, 1", '.') == "0:1,-7,-7" &&
              split("..1...2.3", '.') == "1:1,2,3" && split(" 7.x.-2", '.') == "1:7,0,-2" &&
              split("1.3", '.') == "0:1,3,-7" && split("", '.') == "0:-7,-7,-7",
          "version splitting: runs of separators count as one, a token without digits reads 0");
}

}  // namespace

void RunBindingTests() {
    CWnd owner;
    owner.SubclassWindow(::CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 10, 10, nullptr,
                                           nullptr, nullptr, nullptr));
    CheckVersionString();
    CheckAccepted(owner, "dotted_1307", "FileVersion 1.3.0.7");
    CheckAccepted(owner, "commas_1399", "FileVersion \"1, 3, 9, 9\"");
    CheckAccepted(owner, "german_only", "a single German translation, 1, 3, 0, 5");
    CheckAccepted(owner, "real", "the project's tolm.dll, 1, 3, 1, 1");
    if (::GetUserDefaultLangID() == 0x0409) {
        CheckAccepted(owner, "two_translations", "two translations, the user's says 1.3");
        CheckRefusedVersion(owner, "two_translations_other", "two translations, none the user's");
    }
    CheckRefusedVersion(owner, "refused_1400", "FileVersion \"1, 4, 0, 0\"");
    CheckRefusedVersion(owner, "refused_2300", "FileVersion 2.3.0.0");
    CheckRefusedVersion(owner, "refused_13", "FileVersion 1.3 (two numbers)");
    CheckRefusedVersion(owner, "no_resource", "a library without version resource");
    CheckRefusedVersion(owner, "missing", "no tolm.dll at all");

    UseLibraryFolder("no_dll_get_version");
    MessageBoxRecorder boxes;
    const bool bound = CheckAndLoadTolmLibrary(owner);
    Check(!bound &&
              Shows(boxes, owner.m_hWnd, "Error loading TOLM.DLL", "Error", MB_OK | MB_ICONSTOP) &&
              NoneBound() && ::GetModuleHandleA(kTolmFileName) == nullptr && !FreeTolmLibrary(),
          "version 1.3 without DllGetVersion: \"Error loading TOLM.DLL\", nothing stays bound");
    ::SetDllDirectoryA(nullptr);
    ::DestroyWindow(owner.m_hWnd);
}

}  // namespace gui_test
