// The crash report with real faults: this program starts itself again as a child that installs
// the report and faults on purpose inside a window procedure. The test reads the child's report
// window from outside, presses its buttons and checks what they leave behind.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>
#include <wincodec.h>

#include <string>
#include <vector>

#include "output/crash_mail.h"
#include "output/save.h"
#include "output_support.h"
#include "ui/bitmap.h"
#include "ui/crash_handler.h"
#include "ui/error.h"
#include "ui/error_report.h"
#include "ui/handles.h"
#include "win_test.h"

namespace {

constexpr wchar_t kRoleVariable[] = L"SNIPQUILL_CRASH_ROLE";
constexpr wchar_t kFolderVariable[] = L"SNIPQUILL_CRASH_FOLDER";
constexpr UINT kFaultMessage = WM_APP + 1;

std::wstring env(const wchar_t* name) {
    wchar_t buf[1024]{};
    const DWORD n = GetEnvironmentVariableW(name, buf, 1024);
    return n && n < 1024 ? buf : L"";
}

// ---- the child -------------------------------------------------------------------------------

std::wstring g_role;

#if defined(_MSC_VER)
#define NOINLINE __declspec(noinline)
#else
#define NOINLINE __attribute__((noinline))
#endif

// The compiler cannot see that this is null, so it cannot drop the write as undefined.
volatile std::uintptr_t g_null = 0;

NOINLINE void write_through_null() { *reinterpret_cast<volatile int*>(g_null) = 1; }

volatile int g_limit = 1 << 30;  // never reached: the stack runs out long before

NOINLINE int recurse(int depth) {
    volatile char frame[512];
    frame[depth % 512] = static_cast<char>(depth);
    if (depth >= g_limit) return 0;
    return recurse(depth + 1) + frame[(depth + 1) % 512];
}

LRESULT CALLBACK child_proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kFaultMessage) {
        if (g_role == L"av") write_through_null();
        if (g_role == L"overflow") return recurse(0);
        if (g_role == L"terminate") std::terminate();
        return 0;
    }
    return DefWindowProcW(w, msg, wp, lp);
}

TEST(CrashChild, Role) {
    g_role = env(kRoleVariable);
    if (g_role.empty()) GTEST_SKIP() << "only runs as the faulting program of the crash tests";
    const std::wstring folder = env(kFolderVariable);
    {
        // Every start leaves its first argument, so a restart can be seen from outside.
        int argc = 0;
        LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
        const std::wstring first = argc > 1 ? argv[1] : L"";
        const std::string line = std::string(first.begin(), first.end()) + "\n";
        ui::UniqueHandle log(CreateFileW((folder + L"\\starts.txt").c_str(), FILE_APPEND_DATA,
                                         FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr));
        DWORD written = 0;
        WriteFile(log.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
        LocalFree(argv);
    }
    ui::Bitmap picture(40, 30, RGB(200, 10, 20));
    std::wstring ext = L".bmp";
    ui::CrashSettings s;
    s.report.version = L"7.7.7.7";
    s.restart_argument = L"--gtest_filter=CrashChild.Role";
    s.report.has_picture = [] { return true; };
    s.report.save_picture = [&](HWND) {
        output::save_picture(picture, folder + L"\\picture.bmp", ext);
    };
    s.report.ask_report_path = [&](HWND) -> std::optional<std::wstring> {
        return folder + L"\\report.txt";
    };
    s.report.send_report = &output::send_crash_report_by_mail;  // as the program has it
    ui::CrashReportScope scope(std::move(s));

    WNDCLASSW wc{};
    wc.lpfnWndProc = &child_proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"CrashChildWindow";
    RegisterClassW(&wc);
    HWND w = CreateWindowExW(0, wc.lpszClassName, L"child", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                             nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_TRUE(w);
    PostMessageW(w, kFaultMessage, 0, 0);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    FAIL() << "the fault did not end the program";
}

// ---- the test --------------------------------------------------------------------------------

struct Found {
    DWORD pid_not;   // a report of another process than this one
    DWORD pid_only;  // or of exactly this one (0: any)
    HWND dialog = nullptr;
};

BOOL CALLBACK find_report(HWND w, LPARAM lp) {
    auto* f = reinterpret_cast<Found*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid == f->pid_not || (f->pid_only && pid != f->pid_only)) return TRUE;
    wchar_t cls[32]{}, title[32]{};
    GetClassNameW(w, cls, 32);
    GetWindowTextW(w, title, 32);
    if (std::wstring(cls) == L"#32770" && std::wstring(title) == L"Snipquill" &&
        IsWindowVisible(w) && GetDlgItem(w, ui::kReportRestart)) {
        f->dialog = w;
        return FALSE;
    }
    return TRUE;
}

HWND wait_for_report(DWORD pid_only, DWORD pid_not, int ms) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
    for (;;) {
        Found f{pid_not, pid_only};
        EnumWindows(&find_report, reinterpret_cast<LPARAM>(&f));
        if (f.dialog) return f.dialog;
        if (static_cast<LONG>(end - GetTickCount()) <= 0) return nullptr;
        Sleep(50);
    }
}

std::wstring control_text(HWND dlg, int id) {
    HWND c = GetDlgItem(dlg, id);
    std::vector<wchar_t> buf(16384);
    SendMessageTimeoutW(c, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()),
                        SMTO_ABORTIFHUNG, 5000, nullptr);
    return buf.data();
}

std::string read_file(const std::wstring& path) {
    ui::UniqueHandle f(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, OPEN_EXISTING, 0, nullptr));
    if (f.get() == INVALID_HANDLE_VALUE) {
        f.release();
        return {};
    }
    std::string data;
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(f.get(), buf, sizeof(buf), &got, nullptr) && got) data.append(buf, got);
    return data;
}

// Waits until the file exists, is not empty and has stopped growing.
bool wait_for_file(const std::wstring& path, int ms) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
    std::size_t last = 0;
    for (;;) {
        const std::size_t size = read_file(path).size();
        if (size && size == last) return true;
        last = size;
        if (static_cast<LONG>(end - GetTickCount()) <= 0) return false;
        Sleep(300);
    }
}

std::wstring own_module_name() {
    wchar_t path[MAX_PATH]{};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p = path;
    return p.substr(p.find_last_of(L"\\/") + 1);
}

class Child {
  public:
    Child(const std::wstring& role, const std::wstring& folder) {
        wchar_t exe[MAX_PATH]{};
        GetModuleFileNameW(nullptr, exe, MAX_PATH);
        std::wstring command = L"\"" + std::wstring(exe) + L"\" --gtest_filter=CrashChild.Role";
        SetEnvironmentVariableW(kRoleVariable, role.c_str());
        SetEnvironmentVariableW(kFolderVariable, folder.c_str());
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi{};
        if (CreateProcessW(exe, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                           &pi)) {
            process_.reset(pi.hProcess);
            ui::UniqueHandle thread(pi.hThread);
            pid_ = pi.dwProcessId;
        }
        SetEnvironmentVariableW(kRoleVariable, nullptr);
        SetEnvironmentVariableW(kFolderVariable, nullptr);
    }
    ~Child() {
        if (process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT)
            TerminateProcess(process_.get(), 1);
    }
    DWORD pid() const { return pid_; }
    bool ended_within(int ms) const {
        return WaitForSingleObject(process_.get(), static_cast<DWORD>(ms)) == WAIT_OBJECT_0;
    }

  private:
    ui::UniqueHandle process_;
    DWORD pid_ = 0;
};

std::wstring fresh_folder(const wchar_t* name) {
    wchar_t temp[MAX_PATH]{};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"snipquill_crash_" + name;
    for (const wchar_t* f : {L"starts.txt", L"report.txt", L"report.dmp", L"picture.bmp"})
        DeleteFileW((folder + L"\\" + f).c_str());
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

void close_report(HWND dlg) { PostMessageW(dlg, WM_COMMAND, ui::kReportClose, 0); }

struct FaultCase {
    const wchar_t* role;
    const wchar_t* name;
};

TEST(CrashReport, FaultsReachTheReportWithCodeAndOwnFrames) {
    const FaultCase cases[] = {
        {L"av", L"EXCEPTION_ACCESS_VIOLATION (0xC0000005)"},
        {L"overflow", L"EXCEPTION_STACK_OVERFLOW (0xC00000FD)"},
        {L"terminate", L"std::terminate"},
    };
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(std::string(c.role, c.role + wcslen(c.role)));
        const std::wstring folder = fresh_folder(c.role);
        Child child(c.role, folder);
        ASSERT_NE(child.pid(), 0u);
        HWND dlg = wait_for_report(child.pid(), 0, 30000);
        ASSERT_TRUE(dlg) << "no crash report came up";
        const std::wstring text = control_text(dlg, ui::kReportText);
        const std::wstring module = own_module_name();
        EXPECT_NE(text.find(ui::kErrorHeadline), std::wstring::npos);
        EXPECT_NE(text.find(c.name), std::wstring::npos) << std::string(text.begin(), text.end());
        EXPECT_NE(text.find(L"\r\n  " + module + L"+0x"), std::wstring::npos)
            << "a stack frame names the program's own module";
        EXPECT_NE(text.find(L"Version: 7.7.7.7"), std::wstring::npos);
        EXPECT_NE(text.find(L"Command line: "), std::wstring::npos);
        EXPECT_NE(text.find(L"Time: "), std::wstring::npos);
        if (std::wstring(c.role) == L"av") {
            EXPECT_NE(text.find(L" at " + module + L"+0x"), std::wstring::npos);
            EXPECT_NE(text.find(L"writing 0x00000000"), std::wstring::npos);
        }
        // No way to continue after a crash.
        EXPECT_FALSE(GetDlgItem(dlg, IDOK));
        close_report(dlg);
        EXPECT_TRUE(child.ended_within(10000));
    }
}

TEST(CrashReport, SavesReportAndPictureThenRestartsWithTheSameArgument) {
    const std::wstring folder = fresh_folder(L"buttons");
    Child child(L"av", folder);
    ASSERT_NE(child.pid(), 0u);
    HWND dlg = wait_for_report(child.pid(), 0, 30000);
    ASSERT_TRUE(dlg);

    PostMessageW(dlg, WM_COMMAND, ui::kReportSave, 0);
    ASSERT_TRUE(wait_for_file(folder + L"\\report.txt", 10000));
    const std::string report = read_file(folder + L"\\report.txt");
    EXPECT_NE(report.find("EXCEPTION_ACCESS_VIOLATION"), std::string::npos);
    EXPECT_NE(report.find("Version: 7.7.7.7"), std::string::npos);
    // The minidump goes beside it when the system has dbghelp.dll.
    wchar_t system[MAX_PATH]{};
    GetSystemDirectoryW(system, MAX_PATH);
    if (GetFileAttributesW((std::wstring(system) + L"\\dbghelp.dll").c_str()) !=
        INVALID_FILE_ATTRIBUTES) {
        // Wine's dbghelp reads every module's debug information first: it takes its time.
        ASSERT_TRUE(wait_for_file(folder + L"\\report.dmp", 120000));
        EXPECT_EQ(read_file(folder + L"\\report.dmp").substr(0, 4), "MDMP");
    }

    PostMessageW(dlg, WM_COMMAND, ui::kReportSavePicture, 0);
    ASSERT_TRUE(wait_for_file(folder + L"\\picture.bmp", 10000));
    const std::string bmp = read_file(folder + L"\\picture.bmp");
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_GE(bmp.size(), 40u * 30u * 3u);

    PostMessageW(dlg, WM_COMMAND, ui::kReportRestart, 0);
    EXPECT_TRUE(child.ended_within(10000));
    // The new process runs with the same first argument, and faults again in the same way.
    HWND again = wait_for_report(0, child.pid(), 30000);
    ASSERT_TRUE(again) << "the restarted program did not come up";
    DWORD pid = 0;
    GetWindowThreadProcessId(again, &pid);
    ui::UniqueHandle second(OpenProcess(SYNCHRONIZE, FALSE, pid));
    const std::string starts = read_file(folder + L"\\starts.txt");
    EXPECT_EQ(starts, "--gtest_filter=CrashChild.Role\n--gtest_filter=CrashChild.Role\n");
    close_report(again);
    ASSERT_TRUE(second);
    EXPECT_EQ(WaitForSingleObject(second.get(), 10000), WAIT_OBJECT_0);
}

// ---- Send Report... --------------------------------------------------------------------------

std::wstring system_mapi_path() {
    wchar_t dir[MAX_PATH]{};
    GetSystemDirectoryW(dir, MAX_PATH);
    return std::wstring(dir) + L"\\mapi32.dll";
}

// The recording mail library as the system's MAPI32.DLL while it lives; Wine's own comes back.
class RecorderAsSystemMail {
  public:
    RecorderAsSystemMail() : original_(outtest::read_bytes(system_mapi_path())) {
        installed_ = CopyFileW(wintest::dos_path(MAPI_RECORDER_W).c_str(),
                               system_mapi_path().c_str(), FALSE) != 0;
    }
    ~RecorderAsSystemMail() {
        if (original_.empty()) return;
        ui::UniqueHandle f(CreateFileW(system_mapi_path().c_str(), GENERIC_WRITE, 0, nullptr,
                                       CREATE_ALWAYS, 0, nullptr));
        DWORD written = 0;
        if (f.get() != INVALID_HANDLE_VALUE)
            WriteFile(f.get(), original_.data(), static_cast<DWORD>(original_.size()), &written,
                      nullptr);
    }
    bool installed() const { return installed_; }

  private:
    std::vector<std::uint8_t> original_;
    bool installed_ = false;
};

// The recorder's lines, each split at '|' with its %XX escapes undone.
std::vector<std::vector<std::wstring>> record_lines(const std::string& text) {
    std::vector<std::vector<std::wstring>> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t eol = text.find('\n', pos);
        if (eol == std::string::npos) eol = text.size();
        std::vector<std::wstring> fields(1);
        std::string field;
        for (std::size_t i = pos; i <= eol; ++i) {
            if (i == eol || text[i] == '|') {
                fields.back() = ui::to_wide(field);
                field.clear();
                if (i != eol) fields.emplace_back();
            } else if (text[i] == '%' && i + 2 < eol) {
                field += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
                i += 2;
            } else {
                field += text[i];
            }
        }
        lines.push_back(fields);
        pos = eol + 1;
    }
    return lines;
}

struct ChildMessageBox {
    DWORD pid;
    std::wstring text;
};

BOOL CALLBACK find_message_box(HWND w, LPARAM lp) {
    auto* f = reinterpret_cast<ChildMessageBox*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    wchar_t cls[32]{};
    GetClassNameW(w, cls, 32);
    if (pid != f->pid || std::wstring(cls) != L"#32770" || !IsWindowVisible(w) ||
        GetDlgItem(w, ui::kReportRestart))
        return TRUE;
    f->text = control_text(w, 0xFFFF);  // a message box's text
    PostMessageW(w, WM_COMMAND, IDOK, 0);
    return FALSE;
}

// Closes the first message box of the child that comes up within ms; answers its text.
std::wstring dismiss_message_box(DWORD pid, int ms) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
    for (;;) {
        ChildMessageBox f{pid, {}};
        EnumWindows(&find_message_box, reinterpret_cast<LPARAM>(&f));
        if (!f.text.empty()) return f.text;
        if (static_cast<LONG>(end - GetTickCount()) <= 0) return {};
        Sleep(100);
    }
}

struct SendCase {
    const wchar_t* mail_result;  // what the mail library answers
    const wchar_t* told;         // what the user is told; null: nothing
};

TEST(CrashReport, SendReportHandsTheReportAndTheScreenToTheMailProgram) {
    RecorderAsSystemMail recorder;
    ASSERT_TRUE(recorder.installed()) << "cannot install the recording mail library";
    ui::ComScope com;
    const SendCase cases[] = {
        {L"0", nullptr},
        {L"1", nullptr},  // the user's own abort in the compose window
        {L"2", L"The mail program did not send the report (error 2: general failure)."},
    };
    for (const SendCase& c : cases) {
        SCOPED_TRACE(ui::to_utf8(c.mail_result));
        const std::wstring folder = fresh_folder(L"send");
        const std::wstring record = folder + L"\\mail.txt";
        DeleteFileW(record.c_str());
        wchar_t temp[MAX_PATH]{};
        GetTempPathW(MAX_PATH, temp);
        for (const wchar_t* f : {output::kCrashReportName, output::kCrashScreenName})
            DeleteFileW((std::wstring(temp) + f).c_str());
        SetEnvironmentVariableW(L"SNIPQUILL_MAPI_RECORD", record.c_str());
        SetEnvironmentVariableW(L"SNIPQUILL_MAPI_RESULT", c.mail_result);
        Child child(L"av", folder);
        SetEnvironmentVariableW(L"SNIPQUILL_MAPI_RECORD", nullptr);
        SetEnvironmentVariableW(L"SNIPQUILL_MAPI_RESULT", nullptr);
        ASSERT_NE(child.pid(), 0u);
        HWND dlg = wait_for_report(child.pid(), 0, 30000);
        ASSERT_TRUE(dlg);
        ASSERT_TRUE(GetDlgItem(dlg, ui::kReportSend));

        PostMessageW(dlg, WM_COMMAND, ui::kReportSend, 0);
        ASSERT_TRUE(wait_for_file(record, 20000)) << "nothing reached the mail library";
        if (c.told) {
            const std::wstring told = dismiss_message_box(child.pid(), 10000);
            EXPECT_NE(told.find(c.told), std::wstring::npos) << ui::to_utf8(told);
            EXPECT_NE(told.find(temp), std::wstring::npos) << "where the files are";
        }
        const auto lines = record_lines(read_file(record));
        int calls = 0;
        std::wstring flags;
        std::vector<std::vector<std::wstring>> files;  // position, path, name, size
        for (const auto& l : lines) {
            if (l[0] == L"call") ++calls;
            if (l[0] == L"flags") flags = l.at(1);
            if (l[0] == L"file") files.emplace_back(l.begin() + 1, l.end());
        }
        EXPECT_EQ(calls, 1);
        EXPECT_EQ(flags, L"11") << "logon UI, new session and the mail program's own window";
        ASSERT_EQ(files.size(), 2u);
        EXPECT_EQ(files[0].at(2), output::kCrashReportName);
        EXPECT_EQ(files[1].at(2), output::kCrashScreenName);
        EXPECT_NE(files[0].at(3), L"0");

        const std::string report = read_file(files[0].at(1));
        EXPECT_NE(report.find("EXCEPTION_ACCESS_VIOLATION"), std::string::npos) << report;
        const outtest::Image shot = outtest::decode_file(files[1].at(1));
        EXPECT_EQ(shot.container, GUID_ContainerFormatPng);
        EXPECT_EQ(shot.width, GetSystemMetrics(SM_CXSCREEN));
        EXPECT_EQ(shot.height, GetSystemMetrics(SM_CYSCREEN));

        // The report stays up after sending: the user still chooses how the program ends.
        EXPECT_FALSE(child.ended_within(0));
        close_report(dlg);
        EXPECT_TRUE(child.ended_within(10000));
    }
}

}  // namespace
