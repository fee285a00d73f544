// Catches the faults that no command can catch (access violations, stack overflow, division
// by zero, illegal instructions, std::terminate) and shows them in the crash report, from
// whatever window procedure or timer they happen in. The report runs on a thread of its own,
// since the faulting thread may have no stack left; that thread waits, and the program ends
// (or starts again) when the user has chosen.
#pragma once

#include <windows.h>

#include <string>

#include "ui/crash_text.h"
#include "ui/error_report.h"

namespace ui {

struct CrashSettings {
    CrashReportOptions report;  // version, picture, where the report goes
    // Restart starts the program again with this first argument (empty: none).
    std::wstring restart_argument;
};

// Installs the handlers for the lifetime of the object (one at a time per process).
class CrashReportScope {
  public:
    explicit CrashReportScope(CrashSettings settings);
    CrashReportScope(const CrashReportScope&) = delete;
    CrashReportScope& operator=(const CrashReportScope&) = delete;
    ~CrashReportScope();
};

// The details of a fault from its records: module + offset of the faulting place and of each
// frame of the stack walked from the fault's context.
CrashDetails crash_details(const EXCEPTION_RECORD& record, const CONTEXT& context);
CrashFrame frame_of(std::uint64_t address);

// Writes a minidump of this process beside the report path (".dmp" for its extension), with
// dbghelp.dll from the system folder only. False when there is no such DLL or the dump fails.
bool write_minidump(const std::wstring& report_path, const EXCEPTION_POINTERS* fault,
                    DWORD faulting_thread);

// Starts this program again with the given first argument.
bool restart_program(const std::wstring& first_argument);

}  // namespace ui
