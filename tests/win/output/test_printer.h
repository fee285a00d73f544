// PostScript printers for the printing tests, installed into the Wine prefix when missing:
// Wine's PostScript driver with a small PPD of our own (US Letter, 600 dpi, an imageable area
// that makes the resolution come out at exactly 600 pixels per inch from whole millimetres).
// Each printer's port is mapped to a shell command that keeps the job's PostScript and renders
// it with Ghostscript.
#pragma once

#include <string>

namespace outtest {

inline constexpr wchar_t kTestPrinter[] = L"Snipquill Test Printer";
inline constexpr wchar_t kTestPrinterB[] = L"Snipquill Test Printer B";

// Installs both printers if they are missing (idempotent) and makes kTestPrinter the default.
// Returns an explanation when that fails, empty on success.
std::wstring install_test_printers();

// The jobs of `printer` go to `unix_folder`: job.ps, the page rendered as job.pgm (8-bit grey,
// 600 dpi) and job.done once both are complete.
void send_jobs_to(const std::wstring& printer, const std::string& unix_folder);

// The default printer as the system has it ("" when none), and a way to change it for a test.
std::wstring default_printer_setting();
void set_default_printer_setting(const std::wstring& value);  // "" removes it

}  // namespace outtest
