// Reads text values from the version-information block of an executable file.
#pragma once

#include <string>

namespace about {

class TEPInfoExe {
  public:
    // Reads the block of ExeName(). A file without a block, or one that cannot be found, leaves
    // every value as it was; a key the block lacks reads empty.
    void Execute();

    const std::wstring& LangId() const { return FLangId; }
    void SetLangId(std::wstring v) { FLangId = std::move(v); }
    const std::wstring& ExeName() const { return FExeName; }
    void SetExeName(std::wstring v) { FExeName = std::move(v); }

    const std::wstring& CompanyName() const { return FCompanyName; }
    const std::wstring& FileDescription() const { return FFileDescription; }
    const std::wstring& FileVersion() const { return FFileVersion; }
    const std::wstring& InternalName() const { return FInternalName; }
    const std::wstring& LegalCopyright() const { return FLegalCopyright; }
    const std::wstring& LegalTradeMarks() const { return FLegalTradeMarks; }
    const std::wstring& OriginalFilename() const { return FOriginalFilename; }
    const std::wstring& ProductName() const { return FProductName; }
    const std::wstring& ProductVersion() const { return FProductVersion; }
    const std::wstring& Comments() const { return FComments; }
    const std::wstring& LastCompiledTime() const { return FLastCompiledTime; }

  private:
    std::wstring FLangId = L"0409";
    std::wstring FExeName;
    std::wstring FCompanyName;
    std::wstring FFileDescription;
    std::wstring FFileVersion;
    std::wstring FInternalName;
    std::wstring FLegalCopyright;
    std::wstring FLegalTradeMarks;
    std::wstring FOriginalFilename;  // not read: nothing in the program uses it
    std::wstring FProductName;
    std::wstring FProductVersion;  // not read: nothing in the program uses it
    std::wstring FComments;
    std::wstring FLastCompiledTime;
};

}  // namespace about
