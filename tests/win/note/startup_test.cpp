// Start-up pieces against the real system: the data folder and the first argument.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "app/startup.h"

namespace {

TEST(DataFolder, ProgramFolderUnlessPublicDocumentsHoldsOurs) {
    const std::wstring program_folder = app::folder_of(app::program_file_path());
    wchar_t docs[MAX_PATH]{};
    ASSERT_TRUE(SHGetSpecialFolderPathW(nullptr, docs, CSIDL_COMMON_DOCUMENTS, FALSE));
    const std::wstring orvane = std::wstring(docs) + L"\\Orvane\\";
    const std::wstring ours = orvane + L"Snipquill\\";
    RemoveDirectoryW(ours.c_str());

    EXPECT_EQ(app::GetMyAppData(), program_folder);

    CreateDirectoryW(orvane.c_str(), nullptr);
    ASSERT_TRUE(CreateDirectoryW(ours.c_str(), nullptr));
    EXPECT_EQ(app::GetMyAppData(), ours);
    RemoveDirectoryW(ours.c_str());
    RemoveDirectoryW(orvane.c_str());
}

TEST(Startup, FolderOfKeepsTheSeparator) {
    EXPECT_EQ(app::folder_of(L"C:\\a\\b\\snipquill.exe"), L"C:\\a\\b\\");
    EXPECT_EQ(app::folder_of(L"snipquill.exe"), L"");
}

}  // namespace

namespace {

// Windows' rule for a process whose launcher gave a show command: the first ShowWindow applies
// the launcher's command whatever it passes. Wine does not do this, so it is modelled here in
// front of the real ShowWindow.
struct FirstShowTakesTheLaunchers {
    std::optional<WORD> launcher;
    std::vector<int> passed;
    app::ShowWindowFn fn() {
        return [this](HWND w, int cmd) {
            passed.push_back(cmd);
            const bool first = passed.size() == 1;
            return ShowWindow(w, first && launcher ? *launcher : cmd);
        };
    }
};

struct ShowCase {
    const char* what;
    std::optional<WORD> launcher;
    int last_call;  // the command the note ends up shown with
    bool visible, maximised, minimised;
};

TEST(Startup, TheNoteIsShownWhateverTheLauncherAsked) {
    const ShowCase cases[] = {
        {"no show command", std::nullopt, SW_SHOWNORMAL, true, false, false},
        {"hidden, as Clone starts it", WORD{SW_HIDE}, SW_SHOWNORMAL, true, false, false},
        {"normal", WORD{SW_SHOWNORMAL}, SW_SHOWNORMAL, true, false, false},
        {"minimised and active: not one of the two that count", WORD{SW_SHOWMINIMIZED},
         SW_SHOWNORMAL, true, false, false},
        {"maximised", WORD{SW_SHOWMAXIMIZED}, SW_SHOWMAXIMIZED, true, true, false},
        {"minimised, not active", WORD{SW_SHOWMINNOACTIVE}, SW_SHOWMINNOACTIVE, true, false, true},
    };
    for (const ShowCase& c : cases) {
        SCOPED_TRACE(c.what);
        HWND w = CreateWindowExW(0, L"STATIC", L"startup", WS_OVERLAPPEDWINDOW, 40, 40, 200, 150,
                                 nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(w, nullptr);
        FirstShowTakesTheLaunchers system{c.launcher, {}};
        app::show_note_at_startup(w, c.launcher, system.fn());
        ASSERT_FALSE(system.passed.empty());
        EXPECT_EQ(system.passed.back(), c.last_call);
        // With a launcher's command the first call is spent on it, so ours is not the first.
        EXPECT_EQ(system.passed.size(), c.launcher ? 2u : 1u);
        if (c.launcher) {
            EXPECT_EQ(system.passed.front(), SW_SHOWDEFAULT);
        }
        EXPECT_EQ(IsWindowVisible(w) != FALSE, c.visible);
        EXPECT_EQ(IsZoomed(w) != FALSE, c.maximised);
        EXPECT_EQ(IsIconic(w) != FALSE, c.minimised);
        DestroyWindow(w);
    }
}

}  // namespace
