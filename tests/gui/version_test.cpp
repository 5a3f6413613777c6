// The version reader on this program's own file (it carries the program's
// resources) and on the stand-in libraries, and the About box.
#include <windows.h>

#include <string>

#include "allocation_count.h"
#include "check_log.h"
#include "framework/win_app.h"
#include "gui_tests.h"
#include "harness.h"
#include "version/about_dlg.h"
#include "version/module_name.h"
#include "version/version_info.h"
#include "version/vfx_pointer.h"

using tolm::windows_test::Check;

namespace gui_test {
namespace {

constexpr DWORD kUnicode = 1200;
constexpr WORD kUsEnglish = 1033;
constexpr WORD kGerman = 0x0407;

std::string OwnPath() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

std::string StandIn(const char* variant) {
    const std::string own = OwnPath();
    return own.substr(0, own.find_last_of('\\')) + "\\binding\\" + variant + "\\tolm.dll";
}

std::string Numbers(const WORD (&numbers)[4]) {
    return std::to_string(numbers[0]) + "." + std::to_string(numbers[1]) + "." +
           std::to_string(numbers[2]) + "." + std::to_string(numbers[3]);
}

void CheckOwnFile() {
    const CVFXVersionInfo reader(kUnicode, kUsEnglish);
    CVFXVersionRes holder;
    const std::string path = OwnPath();
    Check(reader.GetVersionInfo(holder, path.c_str()) &&
              Numbers(holder.m_wFileVersion) == "1.6.1.3" &&
              Numbers(holder.m_wProductVersion) == "1.6.1.3",
          "the program's fixed file and product versions read 1.6.1.3");
    const std::string expected =
        "VS_VERSION_INFO for " + path +
        ":\n\nFileVersion: 1, 6, 1, 3\nProductVersion: 1, 6, 1, 3\nCompanyName: "
        "Brannic\nFileDescription: Brannic Linkora CFG\nInternalName: Linkora CFG\n"
        "LegalCopyright: Copyright (C) Brannic\nOriginalFileName: Brannic Linkora CFG.exe\n"
        "ProductName: Linkora CFG\nComments \nLegalTradeMarks: \nPrivateBuild: \nSpecialBuild: \n";
    Check(holder.GetText().str() == expected, "the summary lists every string with its label");

    CVFXVersionRes trimmed;
    const std::string padded = " \t" + path + " \r\n";
    Check(reader.GetVersionInfo(trimmed, padded.c_str()) && trimmed.m_strModuleName.str() == path,
          "a name with blanks around it is trimmed and stored trimmed");
    CVFXVersionRes own;
    CVFXVersionRes blank;
    Check(reader.GetVersionInfo(own, nullptr) && own.m_strModuleName.str() == path &&
              reader.GetVersionInfo(blank, " \t ") && blank.m_strModuleName.str() == path,
          "no name, or a blank one, reads the running program's own file");

    CVFXVersionRes copy;
    copy.CopyFrom(holder);
    MessageBoxRecorder boxes;
    copy.Show(false);
    Check(boxes.Calls().size() == 1 && boxes.Calls()[0].text == expected &&
              boxes.Calls()[0].caption == AfxGetApp()->m_pszAppName &&
              boxes.Calls()[0].type == (MB_OK | MB_ICONINFORMATION),
          "Show puts a copy's summary in an information box captioned with the program's name");

    CString module;
    Check(CVFXGetModuleName().GetModuleName(module) && module.str() == path,
          "the module name of no process and no module is the program's own file");
}

void CheckFailuresAndTables() {
    const CVFXVersionInfo reader(kUnicode, kUsEnglish);
    CVFXVersionRes holder;
    reader.GetVersionInfo(holder, nullptr);
    Check(!reader.GetVersionInfo(holder, "C:\\no\\such\\file.exe") && holder.IsEmpty() &&
              holder.GetText().str() == "No version information is available",
          "a missing file: false, the holder cleared, the summary says so");
    Check(!reader.GetVersionInfo(holder, StandIn("no_resource").c_str()) && holder.IsEmpty(),
          "a file without a version resource: false");

    const std::string german = StandIn("german_only");
    Check(reader.GetVersionInfo(holder, german.c_str()) &&
              Numbers(holder.m_wFileVersion) == "1.3.0.9" && holder.m_strFileVersion.IsEmpty() &&
              holder.m_strCompanyName.IsEmpty() && holder.m_strProductVersion.IsEmpty(),
          "a file with another language's table only: the numbers, no strings");
    const CVFXVersionInfo german_reader(kUnicode, kGerman);
    Check(german_reader.GetVersionInfo(holder, german.c_str()) &&
              holder.m_strFileVersion.str() == "1, 3, 0, 5" &&
              holder.m_strCompanyName.str() == "Brannic",
          "a reader for that language reads its table");

    Check(reader.GetVersionInfo(holder, StandIn("dotted_1307").c_str()) &&
              holder.m_strComments.GetLength() == 255 &&
              holder.m_strFileDescription.str() == "  tolm stand-in  ",
          "a value of 273 characters is cut to 255; values keep their blanks");
}

void CheckLocaleAndObjects() {
    const LCID original = ::GetThreadLocale();
    ::SetThreadLocale(kGerman);
    LCID inside = 0;
    {
        const CVFXVersionInfo reader(kUnicode, kUsEnglish);
        inside = ::GetThreadLocale();
    }
    const LCID after = ::GetThreadLocale();
    LCID unknown_inside = 0;
    {
        const CVFXVersionInfo reader(kUnicode, 0x1234);
        unknown_inside = ::GetThreadLocale();
    }
    ::SetThreadLocale(original);
    Check(inside == kUsEnglish && after == kGerman,
          "a reader runs the thread under its language and restores the locale");
    Check(unknown_inside == kGerman, "a language that is no installed locale changes nothing");

    const CVFXVersionInfo reader(kUnicode, kUsEnglish);
    const CVFXPointer pointer;
    Check(std::string(reader.GetRuntimeClass()->m_lpszClassName) == "CVFXVersionInfo" &&
              reader.IsKindOf(&CObject::classCObject) &&
              std::string(pointer.GetRuntimeClass()->m_lpszClassName) == "CVFXPointer" &&
              CVFXGetModuleName().IsKindOf(&CObject::classCObject) &&
              !pointer.IsKindOf(&CVFXVersionInfo::classCVFXVersionInfo),
          "the reader's classes carry their run-time class under their names");

    // Counts are taken before Check builds its message, which allocates too.
    const long before = LiveAllocations();
    // Blocks from operator new[] itself: new-expressions that pair with a
    // delete may be optimised away.
    const auto block = [] { return static_cast<unsigned char*>(::operator new[](8)); };
    unsigned char* kept = nullptr;
    long after_reset = 0;
    {
        CVFXPointer borrowed(block(), false);
        borrowed.Reset(block());  // frees the first block, owner or not
        kept = borrowed.Get();
        after_reset = LiveAllocations() - before;
    }
    const long after_borrowed = LiveAllocations() - before;
    Check(after_reset == 1, "Reset frees the block held before");
    Check(after_borrowed == 1, "a holder that is no owner leaves its block");
    delete[] kept;
    { CVFXPointer owning(block()); }
    const long left = LiveAllocations() - before;
    Check(left == 0, "an owning holder frees its block (" + std::to_string(left) + " left)");
}

void CheckAboutBox() {
    Check(AboutVersionLine("1, 6, 1, 3").str() == "Version: 1.6.1.3" &&
              AboutVersionLine("2,0,0,7").str() == "Version: 2.0.0.7" &&
              AboutVersionLine("1 0, 2").str() == "Version: 10.2" &&
              AboutVersionLine("1.6.1.3").str() == "Version: 1.6.1.3" &&
              AboutVersionLine("").str() == "Version: ",
          "the version line drops blanks and turns commas into full stops");
    const LCID locale = ::GetThreadLocale();
    CAboutDlg about;
    const INT_PTR result = RunModal(about, [&](HWND window) {
        Check(WindowText(window) == "About Brannic Linkora CFG", "the About box's caption");
        Check(WindowText(::GetDlgItem(window, 1014)) == "Version: 1.6.1.3",
              "the About box shows Version: 1.6.1.3");
        Check(
            about.m_ctlIcon.GetIcon() != nullptr && WindowText(::GetDlgItem(window, IDOK)) == "OK",
            "the About box shows the program's icon and an OK button");
        SaveScreenshot(window, "about_box");
        ClickButton(window, IDOK);
    });
    Check(result == IDOK && ::GetThreadLocale() == locale,
          "OK ends the About box; the thread's locale is as before");
}

}  // namespace

void RunVersionTests() {
    CheckOwnFile();
    CheckFailuresAndTables();
    CheckLocaleAndObjects();
    CheckAboutBox();
}

}  // namespace gui_test
