// The help viewer: loaded on first use, its windows closed before it is unloaded.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/help.h"
#include "ui/error.h"
#include "win_test.h"

namespace {

using app::HelpViewer;

struct Recorder {
    std::vector<std::wstring> calls;
    bool available = true;
    HelpViewer::Library library() {
        HelpViewer::Library lib;
        lib.load = [this] {
            calls.push_back(L"load");
            return available;
        };
        lib.html_help = [this](HWND, const wchar_t* file, UINT command, DWORD_PTR) -> HWND {
            calls.push_back(std::to_wstring(command) + L" " + (file ? file : L"-"));
            return nullptr;
        };
        lib.unload = [this] { calls.push_back(L"unload"); };
        return lib;
    }
};

TEST(HelpViewer, ClosesItsWindowsBeforeTheLibraryIsUnloaded) {
    Recorder r;
    {
        HelpViewer viewer(r.library());
        viewer.close();
        EXPECT_TRUE(r.calls.empty()) << "nothing to close before the first use";
        viewer.show(nullptr, L"C:\\a.chm");
        viewer.show(nullptr, L"C:\\a.chm");
        viewer.close();
        viewer.close();
        viewer.show(nullptr, L"C:\\b.chm");
    }  // the end of the viewer closes it too
    const std::vector<std::wstring> expected = {L"load",        L"0 C:\\a.chm", L"0 C:\\a.chm",
                                                L"18 -",        L"unload",      L"load",
                                                L"0 C:\\b.chm", L"18 -",        L"unload"};
    EXPECT_EQ(r.calls, expected);
}

TEST(HelpViewer, AMissingViewerIsReportedAndNotClosed) {
    Recorder r;
    r.available = false;
    HelpViewer viewer(r.library());
    EXPECT_THROW(viewer.show(nullptr, L"C:\\a.chm"), ui::AppError);
    viewer.close();
    EXPECT_EQ(r.calls, std::vector<std::wstring>{L"load"});
}

// The system's viewer on the program's own help file: closing leaves none of its windows.
TEST(HelpViewer, TheSystemsViewerWindowsAreGoneAfterClose) {
#ifdef _WIN64
    const std::wstring chm = wintest::test_folder() + L"..\\..\\bin\\x64\\snipquill.chm";
#else
    const std::wstring chm = wintest::test_folder() + L"..\\..\\bin\\snipquill.chm";
#endif
    if (GetFileAttributesW(chm.c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "no help file next to the program";
    HelpViewer viewer;
    viewer.show(nullptr, chm);
    wintest::pump(300);
    if (!FindWindowW(L"HH Parent", nullptr)) GTEST_SKIP() << "this system's viewer shows nothing";
    viewer.close();
    wintest::pump(100);
    EXPECT_EQ(FindWindowW(L"HH Parent", nullptr), nullptr);
}

}  // namespace
