// Start-up pieces against the real system: the data folder and the first argument.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

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
