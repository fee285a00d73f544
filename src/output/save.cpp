#include "output/save.h"

#include <commdlg.h>

#include <vector>

#include "output/image_codec.h"
#include "output/save_format.h"
#include "ui/error.h"
#include "ui/handles.h"
#include "ui/system_api.h"
#include "ui/safe_file.h"

namespace output {

std::optional<std::wstring> ask_save_file_name(HWND owner, int& last_filter_index,
                                               const std::wstring& last_save_ext) {
    const std::wstring filter = snipquill::dialog_filter_text();
    const std::wstring default_extension = snipquill::dialog_default_extension(last_save_ext);
    std::vector<wchar_t> name(32768, L'\0');

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = static_cast<DWORD>(last_filter_index);
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = static_cast<DWORD>(name.size());
    dialog.lpstrDefExt = default_extension.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT |
                   OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    if (!sys::GetSaveFileNameW(&dialog)) {
        const DWORD code = sys::CommDlgExtendedError();
        if (code == 0) return std::nullopt;  // cancelled
        throw ui::AppError(L"The save dialog could not be shown (common dialog error " +
                           std::to_wstring(code) + L").");
    }
    last_filter_index = static_cast<int>(dialog.nFilterIndex);
    return snipquill::complete_name(name.data(), last_filter_index);
}

bool save_picture(const ui::Bitmap& picture, const std::wstring& filename,
                  std::wstring& last_save_ext) {
    const std::optional<snipquill::ImageFormat> format =
        snipquill::format_for_extension(snipquill::extension_of(filename));
    if (!format) return false;
    const std::wstring recorded(snipquill::saved_extension(*format));
    if (snipquill::records_extension_before_write(*format)) last_save_ext = recorded;
    ui::ensure_com();
    const std::vector<std::uint8_t> bytes = encode_picture(picture, *format);
    ui::write_bytes_file_safely(filename, bytes);
    last_save_ext = recorded;
    return true;
}

}  // namespace output
