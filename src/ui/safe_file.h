// Writes a file so that a failure never leaves it half-written nor destroys what was there:
// the content goes to a new file beside the target, which replaces the target only once the
// write has succeeded.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace ui {

// write() fills the file at the path it is given (throwing on failure).
void write_file_safely(const std::wstring& target,
                       const std::function<void(const std::wstring& temp_path)>& write);
void write_text_file_safely(const std::wstring& target, std::wstring_view text);
// The bytes, flushed to the disk before they replace the target.
void write_bytes_file_safely(const std::wstring& target, std::span<const std::uint8_t> bytes);

}  // namespace ui
