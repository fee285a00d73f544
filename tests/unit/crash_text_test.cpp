#include "ui/crash_text.h"

#include <gtest/gtest.h>

using namespace ui;

namespace {

TEST(CrashText, CodesNamedAndFatalOnesKnown) {
    struct Case {
        std::uint32_t code;
        const wchar_t* name;
        bool fatal;
    };
    const Case cases[] = {
        {0xC0000005u, L"EXCEPTION_ACCESS_VIOLATION", true},
        {0xC00000FDu, L"EXCEPTION_STACK_OVERFLOW", true},
        {0xC0000094u, L"EXCEPTION_INT_DIVIDE_BY_ZERO", true},
        {0xC000001Du, L"EXCEPTION_ILLEGAL_INSTRUCTION", true},
        // A C++ exception and a breakpoint are somebody's business to catch: not fatal as such.
        {0xE06D7363u, L"unhandled C++ exception", false},
        {0x80000003u, L"EXCEPTION_BREAKPOINT", false},
        {kTerminateCode, L"std::terminate", false},
        {0x12345678u, L"unknown exception", false},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(exception_code_name(c.code), c.name) << std::hex << c.code;
        EXPECT_EQ(is_fatal_fault(c.code), c.fatal) << std::hex << c.code;
    }
}

TEST(CrashText, DescriptionNamesCodePlaceAndEveryFrame) {
    CrashDetails d;
    d.code = 0xC0000005u;
    d.where = {L"snipquill.exe", 0x1a2b};
    d.has_fault_address = true;
    d.write_fault = true;
    d.fault_address = 0x10;
    d.stack = {{L"snipquill.exe", 0x1a2b}, {L"user32.dll", 0x400}, {L"", 0xdead0000}};
    EXPECT_EQ(crash_description(d),
              L"Crash: EXCEPTION_ACCESS_VIOLATION (0xC0000005) at snipquill.exe+0x1A2B, writing "
              L"0x00000010\r\nStack:\r\n  snipquill.exe+0x1A2B\r\n  user32.dll+0x400\r\n  "
              L"0xDEAD0000");

    CrashDetails t;
    t.code = kTerminateCode;
    t.where = {L"", 0};
    EXPECT_EQ(crash_description(t),
              L"Crash: std::terminate (0xE0000B0D) at 0x00000000\r\nStack: (none could be walked)");
}

}  // namespace
