// Where the help file lives. The system look-ups are passed in so the decision can be tested
// without a registry or file system.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace snipquill {

struct DataFolderLookups {
    std::wstring file_version;  // FileVersion of the running program; empty when unknown
    // Common documents folder; nullopt when the system cannot tell.
    std::function<std::optional<std::wstring>()> common_documents;
    // UserFilesPath under HKLM\<key> (32-bit view, read-only): nullopt when the key does not
    // open, empty when the value is absent.
    std::function<std::optional<std::wstring>(const std::wstring& key)> user_files_path;
    std::function<bool(const std::wstring& path)> directory_exists;
    std::wstring program_folder;  // with its trailing separator
};

std::wstring registry_key_for_version(const std::wstring& file_version);
std::wstring resolve_data_folder(const DataFolderLookups& lookups);

}  // namespace snipquill
