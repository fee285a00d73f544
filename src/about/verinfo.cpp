#include "about/verinfo.h"

#include <windows.h>

#include <vector>

namespace about {

void TEPInfoExe::Execute() {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(FExeName.c_str(), &ignored);
    if (size == 0) return;
    std::vector<unsigned char> block(size, 0);
    GetFileVersionInfoW(FExeName.c_str(), 0, size, block.data());

    // The code page is always 1252 (04E4); the block's translation table is not consulted.
    const std::wstring prefix = L"StringFileInfo\\" + FLangId + L"04E4\\";
    struct Key {
        const wchar_t* name;
        std::wstring* field;
    };
    const Key keys[] = {
        {L"CompanyName", &FCompanyName},           {L"FileDescription", &FFileDescription},
        {L"FileVersion", &FFileVersion},           {L"InternalName", &FInternalName},
        {L"LegalCopyright", &FLegalCopyright},     {L"LegalTradeMarks", &FLegalTradeMarks},
        {L"ProductName", &FProductName},           {L"Comments", &FComments},
        {L"LastCompiledTime", &FLastCompiledTime},
    };
    const unsigned char* const end = block.data() + block.size();
    for (const Key& key : keys) {
        key.field->clear();
        void* value = nullptr;
        UINT length = 0;
        const std::wstring path = prefix + key.name;
        if (!VerQueryValueW(block.data(), path.c_str(), &value, &length) || !value) continue;
        const auto* begin = static_cast<const unsigned char*>(value);
        if (begin < block.data() || begin >= end) continue;
        // Up to the first null, never past the end of the block.
        const auto* text = reinterpret_cast<const wchar_t*>(begin);
        key.field->assign(text,
                          wcsnlen(text, static_cast<std::size_t>(end - begin) / sizeof(wchar_t)));
    }
}

}  // namespace about
