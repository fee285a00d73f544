#include "ui/crash_text.h"

#include <cwchar>

namespace ui {

namespace {

struct CodeName {
    std::uint32_t code;
    const wchar_t* name;
};

constexpr CodeName kNames[] = {
    {0xC0000005u, L"EXCEPTION_ACCESS_VIOLATION"},
    {0xC00000FDu, L"EXCEPTION_STACK_OVERFLOW"},
    {0xC0000094u, L"EXCEPTION_INT_DIVIDE_BY_ZERO"},
    {0xC0000095u, L"EXCEPTION_INT_OVERFLOW"},
    {0xC000001Du, L"EXCEPTION_ILLEGAL_INSTRUCTION"},
    {0xC0000096u, L"EXCEPTION_PRIV_INSTRUCTION"},
    {0xC000008Cu, L"EXCEPTION_ARRAY_BOUNDS_EXCEEDED"},
    {0xC000008Eu, L"EXCEPTION_FLT_DIVIDE_BY_ZERO"},
    {0xC0000090u, L"EXCEPTION_FLT_INVALID_OPERATION"},
    {0xC0000006u, L"EXCEPTION_IN_PAGE_ERROR"},
    {0xC0000025u, L"EXCEPTION_NONCONTINUABLE_EXCEPTION"},
    {0xC0000409u, L"STATUS_STACK_BUFFER_OVERRUN"},
    {0xC0000374u, L"STATUS_HEAP_CORRUPTION"},
    {0x80000003u, L"EXCEPTION_BREAKPOINT"},
    {0xE06D7363u, L"unhandled C++ exception"},
    {kTerminateCode, L"std::terminate"},
};

std::wstring hex(std::uint64_t v, int digits) {
    wchar_t buf[24];
    std::swprintf(buf, 24, L"%0*llX", digits, static_cast<unsigned long long>(v));
    return buf;
}

}  // namespace

const wchar_t* exception_code_name(std::uint32_t code) {
    for (const CodeName& n : kNames)
        if (n.code == code) return n.name;
    return L"unknown exception";
}

bool is_fatal_fault(std::uint32_t code) {
    switch (code) {
        case 0xC0000005u:  // access violation
        case 0xC00000FDu:  // stack overflow
        case 0xC0000094u:  // integer division by zero
        case 0xC0000095u:  // integer overflow
        case 0xC000001Du:  // illegal instruction
        case 0xC0000096u:  // privileged instruction
        case 0xC000008Cu:  // array bounds
        case 0xC0000006u:  // in-page error
        case 0xC0000409u:  // stack buffer overrun
            return true;
        default:
            return false;
    }
}

std::wstring frame_text(const CrashFrame& f) {
    if (f.module.empty()) return L"0x" + hex(f.offset, 8);
    return f.module + L"+0x" + hex(f.offset, 1);
}

std::wstring crash_description(const CrashDetails& d) {
    std::wstring s = L"Crash: ";
    s += exception_code_name(d.code);
    s += L" (0x" + hex(d.code, 8) + L")";
    s += L" at " + frame_text(d.where);
    if (d.has_fault_address) {
        s += d.write_fault ? L", writing 0x" : L", reading 0x";
        s += hex(d.fault_address, 8);
    }
    s += L"\r\nStack:";
    if (d.stack.empty()) s += L" (none could be walked)";
    for (const CrashFrame& f : d.stack) s += L"\r\n  " + frame_text(f);
    return s;
}

}  // namespace ui
