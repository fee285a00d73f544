#include "app/data_folder.h"

namespace snipquill {

namespace {
constexpr const wchar_t* kTail =
    L"\\Orvane\\"
    L"Snipquill"
    L"\\";
}

std::wstring registry_key_for_version(const std::wstring& file_version) {
    return L"SOFTWARE\\Orvane Software\\Snipquill\\" + file_version.substr(0, 3);
}

std::wstring resolve_data_folder(const DataFolderLookups& lookups) {
    std::wstring candidate;
    if (std::optional<std::wstring> docs = lookups.common_documents()) {
        candidate = *docs + kTail;
    } else {
        candidate = kTail;
        if (std::optional<std::wstring> base =
                lookups.user_files_path(registry_key_for_version(lookups.file_version)))
            candidate = *base + kTail;
    }
    if (!lookups.directory_exists(candidate)) return lookups.program_folder;
    return candidate;
}

}  // namespace snipquill
