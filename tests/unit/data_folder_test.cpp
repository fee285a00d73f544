#include "app/data_folder.h"

#include <gtest/gtest.h>

#include <set>

using snipquill::DataFolderLookups;
using snipquill::resolve_data_folder;

namespace {

// A fake system: which folders exist and what the two look-ups answer.
struct FakeSystem {
    std::optional<std::wstring> docs;
    std::optional<std::wstring> registry;  // nullopt: the key does not open
    std::set<std::wstring> dirs = {};
    std::wstring asked_key = {};

    DataFolderLookups lookups(std::wstring version = L"1.0.0.1") {
        DataFolderLookups l;
        l.file_version = std::move(version);
        l.common_documents = [this] { return docs; };
        l.user_files_path = [this](const std::wstring& key) {
            asked_key = key;
            return registry;
        };
        l.directory_exists = [this](const std::wstring& p) { return dirs.count(p) > 0; };
        l.program_folder = L"C:\\Apps\\";
        return l;
    }
};

TEST(DataFolder, CommonDocumentsWithOurFolder) {
    FakeSystem sys{L"C:\\Users\\Public\\Documents",
                   L"D:\\Elsewhere",
                   {L"C:\\Users\\Public\\Documents\\Orvane\\Snipquill\\"}};
    EXPECT_EQ(resolve_data_folder(sys.lookups()),
              L"C:\\Users\\Public\\Documents\\Orvane\\Snipquill\\");
    EXPECT_EQ(sys.asked_key, L"");  // the registry is consulted only when the lookup fails
}

TEST(DataFolder, CommonDocumentsWithoutOurFolderFallsBackToProgramFolder) {
    FakeSystem sys{
        L"C:\\Users\\Public\\Documents", std::nullopt, {L"C:\\Users\\Public\\Documents"}};
    EXPECT_EQ(resolve_data_folder(sys.lookups()), L"C:\\Apps\\");
}

TEST(DataFolder, RegistryFallbackUsesVersionPrefix) {
    FakeSystem sys{std::nullopt, L"D:\\Data", {L"D:\\Data\\Orvane\\Snipquill\\"}};
    EXPECT_EQ(resolve_data_folder(sys.lookups(L"2.0.0.4")), L"D:\\Data\\Orvane\\Snipquill\\");
    EXPECT_EQ(sys.asked_key, L"SOFTWARE\\Orvane Software\\Snipquill\\2.0");
}

TEST(DataFolder, RegistryValueAbsentOrKeyMissing) {
    // Value absent: the candidate is built on an empty base, a path from the drive's root.
    FakeSystem absent{std::nullopt, L"", {L"\\Orvane\\Snipquill\\"}};
    EXPECT_EQ(resolve_data_folder(absent.lookups()), L"\\Orvane\\Snipquill\\");
    FakeSystem missing{std::nullopt, std::nullopt, {}};
    EXPECT_EQ(resolve_data_folder(missing.lookups(L"")), L"C:\\Apps\\");
    EXPECT_EQ(missing.asked_key,
              L"SOFTWARE\\Orvane Software\\Snipquill\\");  // no version: ends with the separator
}

}  // namespace
