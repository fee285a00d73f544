// The text of a crash report: what faulted, where, and the way there. Platform-free, so the
// layout is tested natively; the handler fills the details from the fault's records.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ui {

// Our own code for a call of std::terminate, in the range the system leaves to programs.
inline constexpr std::uint32_t kTerminateCode = 0xE0000B0Du;

// A code address as module + offset; a module-less address keeps its absolute value.
struct CrashFrame {
    std::wstring module;  // file name without folder; empty when no module holds the address
    std::uint64_t offset = 0;
};

struct CrashDetails {
    std::uint32_t code = 0;
    CrashFrame where;
    std::vector<CrashFrame> stack;  // innermost first
    bool write_fault = false;       // access violations only
    std::uint64_t fault_address = 0;
    bool has_fault_address = false;
};

// "EXCEPTION_ACCESS_VIOLATION" and the like; "unknown exception" for a code we do not name.
const wchar_t* exception_code_name(std::uint32_t code);
// Whether a first-chance fault with this code ends the program wherever it comes from: it is
// never part of any error handling of ours.
bool is_fatal_fault(std::uint32_t code);
std::wstring frame_text(const CrashFrame& f);
// The error part of the report: code and name, the faulting place, the stack.
std::wstring crash_description(const CrashDetails& d);

}  // namespace ui
