#include "ui/crash_handler.h"

#include <dbghelp.h>

#include <array>
#include <atomic>
#include <exception>
#include <memory>

#include "ui/handles.h"

namespace ui {

namespace {

std::unique_ptr<CrashSettings> g_settings;  // set while a scope is alive
PVOID g_vectored = nullptr;
LPTOP_LEVEL_EXCEPTION_FILTER g_previous_filter = nullptr;
std::terminate_handler g_previous_terminate = nullptr;
std::atomic<bool> g_crashing{false};
std::atomic<bool> g_closing{false};

struct CrashJob {
    EXCEPTION_POINTERS* pointers = nullptr;
    DWORD thread = 0;
};
CrashJob g_job;
// The report's thread is started with the scope and waits for a crash: after a stack overflow
// the faulting thread has too little stack left even to start a thread.
UniqueHandle g_request;
UniqueHandle g_report_thread;

bool readable(const void* p, std::size_t size) {
    MEMORY_BASIC_INFORMATION mbi{};
    if (!VirtualQuery(p, &mbi, sizeof(mbi)) || mbi.State != MEM_COMMIT) return false;
    if (mbi.Protect & (PAGE_NOACCESS | PAGE_GUARD)) return false;
    const auto start = reinterpret_cast<std::uintptr_t>(p);
    const auto end = reinterpret_cast<std::uintptr_t>(mbi.BaseAddress) + mbi.RegionSize;
    return start + size <= end;
}

bool in_own_module(const void* address) {
    HMODULE m = nullptr;
    return GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                  GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                              static_cast<LPCWSTR>(address), &m) &&
           m == GetModuleHandleW(nullptr);
}

std::wstring module_file() {
    std::array<wchar_t, MAX_PATH> buf{};
    GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    return buf.data();
}

void walk_stack(const CONTEXT& start, std::vector<CrashFrame>& out) {
    constexpr int kMaxFrames = 48;
#if defined(_M_X64) || defined(__x86_64__)
    CONTEXT c = start;
    for (int i = 0; i < kMaxFrames && c.Rip; ++i) {
        out.push_back(frame_of(c.Rip));
        DWORD64 image_base = 0;
        PRUNTIME_FUNCTION f = RtlLookupFunctionEntry(c.Rip, &image_base, nullptr);
        if (f) {
            PVOID handler_data = nullptr;
            DWORD64 establisher = 0;
            RtlVirtualUnwind(UNW_FLAG_NHANDLER, image_base, c.Rip, f, &c, &handler_data,
                             &establisher, nullptr);
        } else {
            // A leaf function: the return address is on top of the stack.
            const auto* sp = reinterpret_cast<const DWORD64*>(c.Rsp);
            if (!readable(sp, sizeof(DWORD64))) break;
            c.Rip = *sp;
            c.Rsp += sizeof(DWORD64);
        }
    }
#elif defined(_M_IX86) || defined(__i386__)
    // Frame pointers: each frame holds the caller's frame pointer and the return address.
    out.push_back(frame_of(start.Eip));
    auto frame = static_cast<std::uintptr_t>(start.Ebp);
    for (int i = 1; i < kMaxFrames; ++i) {
        const auto* fp = reinterpret_cast<const DWORD*>(frame);
        if (!frame || (frame & 3) || !readable(fp, 2 * sizeof(DWORD))) break;
        const DWORD ret = fp[1];
        if (!ret) break;
        out.push_back(frame_of(ret));
        if (fp[0] <= frame) break;  // the stack grows down: callers' frames lie above
        frame = fp[0];
    }
#else
    out.push_back(frame_of(0));
    (void)start;
#endif
}

DWORD WINAPI report_thread(LPVOID) {
    WaitForSingleObject(g_request.get(), INFINITE);
    if (g_closing) return 0;
    const CrashJob* job = &g_job;
    ComScope com;  // the picture's encoders and the save dialog need COM on this thread
    const CrashDetails details =
        crash_details(*job->pointers->ExceptionRecord, *job->pointers->ContextRecord);
    CrashSettings& s = *g_settings;
    CrashReportOptions options = s.report;
    const std::function<void(const std::wstring&)> beside = s.report.write_beside_report;
    options.write_beside_report = [job, beside](const std::wstring& path) {
        if (beside) beside(path);
        write_minidump(path, job->pointers, job->thread);
    };
    const CrashChoice choice = show_crash_report(crash_description(details), options);
    if (choice == CrashChoice::Restart) restart_program(s.restart_argument);
    TerminateProcess(GetCurrentProcess(), job->pointers->ExceptionRecord->ExceptionCode);
    return 0;
}

[[noreturn]] void crash(EXCEPTION_POINTERS* pointers) {
    if (g_crashing.exchange(true) || !g_settings) {
        // A fault while the report is up (or with none installed): nothing more can be done.
        TerminateProcess(GetCurrentProcess(), pointers->ExceptionRecord->ExceptionCode);
    }
    // Only what needs next to no stack here; the report's thread does the rest.
    g_job = CrashJob{pointers, GetCurrentThreadId()};
    if (g_report_thread && SetEvent(g_request.get()))
        WaitForSingleObject(g_report_thread.get(), INFINITE);
    TerminateProcess(GetCurrentProcess(), pointers->ExceptionRecord->ExceptionCode);
    for (;;) Sleep(INFINITE);
}

LONG CALLBACK vectored_handler(EXCEPTION_POINTERS* p) {
    const EXCEPTION_RECORD& r = *p->ExceptionRecord;
    // Only what cannot be part of anyone's error handling: a stack overflow anywhere, other
    // faults in our own code (the system's libraries may probe memory and recover).
    if (r.ExceptionCode == EXCEPTION_STACK_OVERFLOW) crash(p);
    if (!is_fatal_fault(r.ExceptionCode) || !in_own_module(r.ExceptionAddress))
        return EXCEPTION_CONTINUE_SEARCH;
    crash(p);
}

LONG WINAPI unhandled_filter(EXCEPTION_POINTERS* p) { crash(p); }

[[noreturn]] void on_terminate() {
    static EXCEPTION_RECORD record;
    static CONTEXT context;
    RtlCaptureContext(&context);
    record = EXCEPTION_RECORD{};
    record.ExceptionCode = kTerminateCode;
    record.ExceptionFlags = EXCEPTION_NONCONTINUABLE;
#if defined(_M_X64) || defined(__x86_64__)
    record.ExceptionAddress = reinterpret_cast<PVOID>(context.Rip);
#elif defined(_M_IX86) || defined(__i386__)
    record.ExceptionAddress = reinterpret_cast<PVOID>(context.Eip);
#endif
    static EXCEPTION_POINTERS pointers;
    pointers = EXCEPTION_POINTERS{&record, &context};
    crash(&pointers);
}

using MiniDumpWriteDumpFn = BOOL(WINAPI*)(HANDLE, DWORD, HANDLE, MINIDUMP_TYPE,
                                          PMINIDUMP_EXCEPTION_INFORMATION,
                                          PMINIDUMP_USER_STREAM_INFORMATION,
                                          PMINIDUMP_CALLBACK_INFORMATION);

}  // namespace

CrashFrame frame_of(std::uint64_t address) {
    CrashFrame f;
    f.offset = address;
    HMODULE m = nullptr;
    if (!address ||
        !GetModuleHandleExW(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            reinterpret_cast<LPCWSTR>(static_cast<std::uintptr_t>(address)), &m))
        return f;
    std::array<wchar_t, MAX_PATH> path{};
    if (!GetModuleFileNameW(m, path.data(), static_cast<DWORD>(path.size()))) return f;
    std::wstring name = path.data();
    const std::size_t slash = name.find_last_of(L"\\/");
    if (slash != std::wstring::npos) name.erase(0, slash + 1);
    f.module = name;
    f.offset = address - reinterpret_cast<std::uintptr_t>(m);
    return f;
}

CrashDetails crash_details(const EXCEPTION_RECORD& record, const CONTEXT& context) {
    CrashDetails d;
    d.code = record.ExceptionCode;
    d.where = frame_of(reinterpret_cast<std::uintptr_t>(record.ExceptionAddress));
    if (record.ExceptionCode == EXCEPTION_ACCESS_VIOLATION && record.NumberParameters >= 2) {
        d.has_fault_address = true;
        d.write_fault = record.ExceptionInformation[0] == 1;
        d.fault_address = record.ExceptionInformation[1];
    }
    walk_stack(context, d.stack);
    return d;
}

bool write_minidump(const std::wstring& report_path, const EXCEPTION_POINTERS* fault,
                    DWORD faulting_thread) {
    // Only the system's own copy: a dbghelp.dll beside the program or in the current folder
    // is never loaded.
    std::array<wchar_t, MAX_PATH> system{};
    const UINT n = GetSystemDirectoryW(system.data(), static_cast<UINT>(system.size()));
    if (n == 0 || n >= system.size()) return false;
    const std::wstring dll = std::wstring(system.data()) + L"\\dbghelp.dll";
    UniqueModule dbghelp(LoadLibraryExW(dll.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    if (!dbghelp) return false;
    auto write = reinterpret_cast<MiniDumpWriteDumpFn>(
        reinterpret_cast<void*>(GetProcAddress(dbghelp.get(), "MiniDumpWriteDump")));
    if (!write) return false;

    std::wstring dump = report_path;
    const std::size_t dot = dump.find_last_of(L'.');
    const std::size_t slash = dump.find_last_of(L"\\/");
    if (dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash)) dump.erase(dot);
    dump += L".dmp";
    UniqueHandle file(CreateFileW(dump.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        file.release();
        return false;
    }
    MINIDUMP_EXCEPTION_INFORMATION info{};
    info.ThreadId = faulting_thread;
    info.ExceptionPointers = const_cast<EXCEPTION_POINTERS*>(fault);
    info.ClientPointers = FALSE;
    const BOOL ok = write(GetCurrentProcess(), GetCurrentProcessId(), file.get(), MiniDumpNormal,
                          fault ? &info : nullptr, nullptr, nullptr);
    file.reset();
    if (!ok) DeleteFileW(dump.c_str());
    return ok != FALSE;
}

bool restart_program(const std::wstring& first_argument) {
    const std::wstring exe = module_file();
    std::wstring command = L"\"" + exe + L"\"";
    if (!first_argument.empty()) {
        const bool quote = first_argument.find_first_of(L" \t") != std::wstring::npos;
        command += quote ? L" \"" + first_argument + L"\"" : L" " + first_argument;
    }
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &si, &pi))
        return false;
    UniqueHandle thread(pi.hThread), process(pi.hProcess);
    return true;
}

CrashReportScope::CrashReportScope(CrashSettings settings) {
    g_settings = std::make_unique<CrashSettings>(std::move(settings));
    g_closing = false;
    g_request.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    g_report_thread.reset(CreateThread(nullptr, 256 * 1024, &report_thread, nullptr,
                                       STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
    g_vectored = AddVectoredExceptionHandler(1, &vectored_handler);
    g_previous_filter = SetUnhandledExceptionFilter(&unhandled_filter);
    g_previous_terminate = std::set_terminate(&on_terminate);
    // Room for the handler to run on after the stack has overflowed.
    ULONG guarantee = 64 * 1024;
    SetThreadStackGuarantee(&guarantee);
}

CrashReportScope::~CrashReportScope() {
    std::set_terminate(g_previous_terminate);
    SetUnhandledExceptionFilter(g_previous_filter);
    if (g_vectored) RemoveVectoredExceptionHandler(g_vectored);
    g_vectored = nullptr;
    g_closing = true;
    if (g_report_thread) {
        SetEvent(g_request.get());
        WaitForSingleObject(g_report_thread.get(), INFINITE);
    }
    g_report_thread.reset();
    g_request.reset();
    g_settings.reset();
}

}  // namespace ui
