// The version-information reader against the real version API under Wine: on our own program
// file, and on small DLLs built from tests/win/fixtures/verinfo_*.rc, each of whose version
// blocks shows one rule of the reader.
#include <gtest/gtest.h>

#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

#include "about/verinfo.h"
#include "win_test.h"

namespace {

using about::TEPInfoExe;

// The nine values a run of the reader sets.
struct Values {
    std::wstring CompanyName;
    std::wstring FileDescription;
    std::wstring FileVersion;
    std::wstring InternalName;
    std::wstring LegalCopyright;
    std::wstring LegalTradeMarks;
    std::wstring ProductName;
    std::wstring Comments;
    std::wstring LastCompiledTime;
    bool operator==(const Values&) const = default;
};

void PrintTo(const Values& v, std::ostream* os) {
    const auto narrow = [](const std::wstring& w) { return std::string(w.begin(), w.end()); };
    *os << "{CompanyName=\"" << narrow(v.CompanyName) << "\" FileDescription=\""
        << narrow(v.FileDescription) << "\" FileVersion=\"" << narrow(v.FileVersion)
        << "\" InternalName=\"" << narrow(v.InternalName) << "\" LegalCopyright=\""
        << narrow(v.LegalCopyright) << "\" LegalTradeMarks=\"" << narrow(v.LegalTradeMarks)
        << "\" ProductName=\"" << narrow(v.ProductName) << "\" Comments=\"" << narrow(v.Comments)
        << "\" LastCompiledTime=\"" << narrow(v.LastCompiledTime) << "\"}";
}

Values values_of(const TEPInfoExe& r) {
    return {r.CompanyName(),  r.FileDescription(), r.FileVersion(),
            r.InternalName(), r.LegalCopyright(),  r.LegalTradeMarks(),
            r.ProductName(),  r.Comments(),        r.LastCompiledTime()};
}

// What verinfo_cp1252.rc holds in its 040904E4 table.
const Values kCp1252 = {
    L"Fixture Company Ltd.",
    L"Version reader fixture",
    L"3.14.15.92",
    L"verinfo_cp1252",
    L"Copyright (C) 2031 Fixture Company",
    L"Fixture is nobody's trademark",
    L"Fixture Product",
    L"Nine keys in one string table.",
    L"2031-02-03 04:05:06",
};

const std::wstring kCp1252Dll = wintest::dos_path(VERINFO_CP1252);
const std::wstring kUnicodeDll = wintest::dos_path(VERINFO_UNICODE);
const std::wstring kMixedDll = wintest::dos_path(VERINFO_MIXED);
const std::wstring kNoneDll = wintest::dos_path(VERINFO_NONE);
const std::wstring kRawDll = wintest::dos_path(VERINFO_RAW);
const std::wstring kSnipquillExe = wintest::dos_path(SNIPQUILL_EXE);

// The file version of the block's fixed part, as "major.minor.build.revision".
std::wstring fixed_file_version(const std::wstring& path) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0) return L"";
    std::vector<unsigned char> block(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return L"";
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), L"\\", &value, &length) || length < sizeof(VS_FIXEDFILEINFO))
        return L"";
    const auto* info = static_cast<const VS_FIXEDFILEINFO*>(value);
    return std::to_wstring(HIWORD(info->dwFileVersionMS)) + L"." +
           std::to_wstring(LOWORD(info->dwFileVersionMS)) + L"." +
           std::to_wstring(HIWORD(info->dwFileVersionLS)) + L"." +
           std::to_wstring(LOWORD(info->dwFileVersionLS));
}

// Makes another folder current for the life of the object.
class CurrentFolder {
  public:
    explicit CurrentFolder(const std::wstring& folder) {
        wchar_t old[MAX_PATH];
        GetCurrentDirectoryW(MAX_PATH, old);
        old_ = old;
        changed_ = SetCurrentDirectoryW(folder.c_str()) != FALSE;
    }
    ~CurrentFolder() { SetCurrentDirectoryW(old_.c_str()); }
    CurrentFolder(const CurrentFolder&) = delete;
    CurrentFolder& operator=(const CurrentFolder&) = delete;
    bool changed() const { return changed_; }

  private:
    std::wstring old_;
    bool changed_ = false;
};

TEST(TEPInfoExe, ReadsOurOwnProgramFile) {
    // The About box and the data folder read these; the reader starts on US English.
    TEPInfoExe reader;
    reader.SetExeName(kSnipquillExe);
    reader.Execute();

    EXPECT_EQ(reader.CompanyName(), L"Orvane Software");
    EXPECT_EQ(reader.ProductName(), L"Snipquill");
    const std::wstring fixed = fixed_file_version(kSnipquillExe);
    ASSERT_FALSE(fixed.empty()) << "snipquill.exe has no fixed version information";
    EXPECT_EQ(reader.FileVersion(), fixed) << "the text and the fixed version disagree";
    EXPECT_FALSE(reader.LastCompiledTime().empty());
    EXPECT_FALSE(reader.FileDescription().empty());
    EXPECT_FALSE(reader.InternalName().empty());
    EXPECT_FALSE(reader.LegalCopyright().empty());
    EXPECT_FALSE(reader.LegalTradeMarks().empty());
    EXPECT_FALSE(reader.Comments().empty());
    EXPECT_EQ(reader.ExeName(), kSnipquillExe);
}

TEST(TEPInfoExe, ReadsEveryKeyOfTheUsEnglish1252Table) {
    TEPInfoExe reader;
    reader.SetExeName(kCp1252Dll);
    reader.Execute();
    EXPECT_EQ(values_of(reader), kCp1252);
}

// Every run sets all nine values: what a file's table lacks reads empty afterwards, even when
// an earlier run found it.
TEST(TEPInfoExe, EachRunReplacesAllNineValues) {
    struct Case {
        const char* what;
        std::wstring file;
        std::wstring lang;
        Values expected;
    };
    Values mixed_us;  // 040904E4 has two keys; the complete 040904B0 table must not fill in
    mixed_us.CompanyName = L"Mixed Company";
    mixed_us.FileVersion = L"5.0.0.0";
    Values mixed_german;
    mixed_german.CompanyName = L"Beispiel GmbH";
    mixed_german.ProductName = L"Beispielprodukt";
    mixed_german.Comments = L"Deutsche Tabelle";
    Values raw;  // the text up to its first null, whatever length its header claims
    raw.Comments = L"Shown";
    raw.FileVersion = L"9.8.7.6";
    const Case cases[] = {
        {"the 1252 table read as German", kCp1252Dll, L"0407", {}},
        {"the 1252 table read as British English", kCp1252Dll, L"0809", {}},
        {"the 1252 table with no language", kCp1252Dll, L"", {}},
        {"only a Unicode (040904B0) table", kUnicodeDll, L"0409", {}},
        {"the Unicode table, named in the translation table, comes first", kMixedDll, L"0409",
         mixed_us},
        {"a German 1252 table", kMixedDll, L"0407", mixed_german},
        {"values with an inner null and a false length", kRawDll, L"0409", raw},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TEPInfoExe reader;
        reader.SetExeName(kCp1252Dll);
        reader.Execute();
        ASSERT_EQ(values_of(reader), kCp1252);

        reader.SetExeName(c.file);
        reader.SetLangId(c.lang);
        reader.Execute();
        EXPECT_EQ(values_of(reader), c.expected);
    }
}

// With nothing to read, a run changes nothing and reports nothing.
TEST(TEPInfoExe, KeepsTheValuesOfTheLastRunWhenThereIsNoBlock) {
    struct Case {
        const char* what;
        std::wstring file;
    };
    const Case cases[] = {
        {"a DLL without a version block", kNoneDll},
        {"a file that does not exist", kNoneDll.substr(0, kNoneDll.rfind(L'\\') + 1) + L"gone.dll"},
        {"a bare name that the search does not find", L"verinfo_nowhere.dll"},
        {"no name", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TEPInfoExe reader;
        reader.SetExeName(kCp1252Dll);
        reader.Execute();
        ASSERT_EQ(values_of(reader), kCp1252);

        reader.SetExeName(c.file);
        reader.Execute();
        EXPECT_EQ(values_of(reader), kCp1252);
        EXPECT_EQ(reader.ExeName(), c.file);
    }
}

TEST(TEPInfoExe, FindsABareFileNameThroughTheSystemSearch) {
    // The copy next to this test program is found although the current folder is elsewhere;
    // the original, in a folder the search does not cover, is not.
    wchar_t temp[MAX_PATH];
    ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
    CurrentFolder elsewhere(temp);
    ASSERT_TRUE(elsewhere.changed());

    TEPInfoExe found;
    found.SetExeName(L"" VERINFO_SEARCH_NAME);
    found.Execute();
    EXPECT_EQ(values_of(found), kCp1252);

    TEPInfoExe not_found;
    not_found.SetExeName(kCp1252Dll.substr(kCp1252Dll.rfind(L'\\') + 1));
    not_found.Execute();
    EXPECT_EQ(values_of(not_found), Values{});
}

}  // namespace
