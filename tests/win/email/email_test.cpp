// The Email command under Wine, against a recording mail library of our own installed in the
// prefix's system folder as MAPI32.DLL (enabled with WINEDLLOVERRIDES=mapi32=n): what reaches
// the mail library, the attachment it points to, what the user is told, and the library that is
// (and is never) loaded.
#include <gtest/gtest.h>
#include <wincodec.h>

#include <cstdlib>

#include <memory>
#include <string>
#include <vector>

#include "app/note_window.h"
#include "output/email_form.h"
#include "output/mapi_control.h"
#include "output/simple_mapi.h"
#include "output_support.h"
#include "ui/error.h"
#include "ui/handles.h"
#include "win_test.h"

namespace {

using app::TForm1;
using output::TForm3;
using outtest::DialogScript;

std::wstring system_mapi_path() {
    wchar_t dir[MAX_PATH]{};
    GetSystemDirectoryW(dir, MAX_PATH);
    return std::wstring(dir) + L"\\mapi32.dll";
}

std::wstring lower(std::wstring s) {
    for (wchar_t& c : s) c = static_cast<wchar_t>(towlower(c));
    return s;
}

std::wstring planted_path() { return wintest::test_folder() + L"MAPI32.DLL"; }

// Installs the recorder as the system's mail library and plants another copy beside the test
// program, where a careless load would find it first.
class MailLibraryEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        original_ = outtest::read_bytes(system_mapi_path());
        const std::wstring recorder = wintest::dos_path(MAPI_RECORDER_W);
        ASSERT_TRUE(CopyFileW(recorder.c_str(), system_mapi_path().c_str(), FALSE))
            << "cannot install the recorder: " << ui::to_utf8(ui::system_message(GetLastError()));
        ASSERT_TRUE(CopyFileW(recorder.c_str(), planted_path().c_str(), FALSE));
    }
    void TearDown() override {
        // The planted copy was never loaded, so it can go.
        EXPECT_TRUE(DeleteFileW(planted_path().c_str()))
            << "the copy in the program's folder is in use";
        // The loaded library stays mapped until exit; Wine's own copy comes back when it can.
        if (!original_.empty()) {
            ui::UniqueHandle f(CreateFileW(system_mapi_path().c_str(), GENERIC_WRITE, 0, nullptr,
                                           CREATE_ALWAYS, 0, nullptr));
            DWORD written = 0;
            if (f.get() != INVALID_HANDLE_VALUE)
                WriteFile(f.get(), original_.data(), static_cast<DWORD>(original_.size()), &written,
                          nullptr);
        }
    }

  private:
    std::vector<std::uint8_t> original_;
};

const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new MailLibraryEnvironment);

// One call the recorder saw.
struct Sent {
    std::wstring entry, module, flags, parent, subject, note, message_flags;
    std::vector<std::wstring> originator;  // class, name, address
    std::vector<std::wstring> recip_count, file_count;
    std::vector<std::vector<std::wstring>> recips;  // class, name, address
    std::vector<std::vector<std::wstring>> files;   // position, path, name, size at the call
};

std::wstring unescape(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size()) {
            out += static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return ui::to_wide(out);
}

std::vector<std::wstring> fields(const std::string& line) {
    std::vector<std::wstring> out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t bar = line.find('|', start);
        out.push_back(unescape(line.substr(start, bar - start)));
        if (bar == std::string::npos) break;
        start = bar + 1;
    }
    return out;
}

std::vector<Sent> read_record(const std::wstring& path) {
    const std::vector<std::uint8_t> bytes = outtest::read_bytes(path);
    const std::string text(bytes.begin(), bytes.end());
    std::vector<Sent> calls;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t eol = text.find('\n', pos);
        if (eol == std::string::npos) eol = text.size();
        const std::vector<std::wstring> f = fields(text.substr(pos, eol - pos));
        pos = eol + 1;
        const std::wstring& key = f[0];
        const std::wstring value = f.size() > 1 ? f[1] : L"";
        if (key == L"call") {
            calls.emplace_back();
            calls.back().entry = value;
            continue;
        }
        if (calls.empty()) continue;
        Sent& s = calls.back();
        const std::vector<std::wstring> rest(f.begin() + 1, f.end());
        if (key == L"module") s.module = value;
        if (key == L"flags") s.flags = value;
        if (key == L"parent") s.parent = value;
        if (key == L"subject") s.subject = value;
        if (key == L"note") s.note = value;
        if (key == L"message_flags") s.message_flags = value;
        if (key == L"orig") s.originator = rest;
        if (key == L"recip_count") s.recip_count = rest;
        if (key == L"file_count") s.file_count = rest;
        if (key == L"recip") s.recips.push_back(rest);
        if (key == L"file") s.files.push_back(rest);
    }
    return calls;
}

struct Fields {
    std::wstring address, subject, body;
};

// The compose dialog: records what it shows, fills it in (unless `fill` is null) and presses
// `button`.
DialogScript::Step compose(const Fields* fill, int button, Fields* shown = nullptr) {
    return [fill, button, shown](HWND dialog) {
        wchar_t title[64]{};
        GetWindowTextW(dialog, title, 64);
        if (std::wstring(title) != output::kEmailTitle) return false;
        const auto text = [&](int id) {
            wchar_t buf[1024]{};
            GetDlgItemTextW(dialog, id, buf, 1024);
            return std::wstring(buf);
        };
        if (shown)
            *shown = {text(output::kEmailAddress), text(output::kEmailSubject),
                      text(output::kEmailBody)};
        if (fill) {
            SetDlgItemTextW(dialog, output::kEmailAddress, fill->address.c_str());
            SetDlgItemTextW(dialog, output::kEmailSubject, fill->subject.c_str());
            SetDlgItemTextW(dialog, output::kEmailBody, fill->body.c_str());
        }
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
        return true;
    };
}

class EmailTest : public ::testing::Test {
  protected:
    void SetUp() override {
        picture = outtest::window_like_picture(240, 160);
        note = std::make_unique<TForm1>();
        note->FormCreate(L"/p100,100,300,200");
        note->Image1().bitmap().assign(picture);
        note->state().captured = true;
        form = std::make_unique<TForm3>(*note);
        SetEnvironmentVariableW(L"SNIPQUILL_MAPI_RECORD", record.c_str());
        SetEnvironmentVariableW(L"SNIPQUILL_MAPI_RESULT", nullptr);
        use_temp_folder(temp.path());
    }
    void TearDown() override {
        SetEnvironmentVariableW(L"SNIPQUILL_MAPI_RECORD", nullptr);
        SetEnvironmentVariableW(L"SNIPQUILL_MAPI_RESULT", nullptr);
        SetEnvironmentVariableW(L"TMP", old_tmp.empty() ? nullptr : old_tmp.c_str());
        form.reset();
        note.reset();
    }
    void use_temp_folder(const std::wstring& folder) {
        SetEnvironmentVariableW(L"TMP", folder.c_str());
    }
    std::vector<Sent> sent() const { return read_record(record); }
    std::wstring attachment() const { return temp.file(L"Snipquill.png"); }

    static std::wstring env(const wchar_t* name) {
        wchar_t buf[2048]{};
        const DWORD n = GetEnvironmentVariableW(name, buf, 2048);
        return n && n < 2048 ? buf : L"";
    }

    ui::ComScope com;
    outtest::TempFolder records;
    outtest::TempFolder temp;
    std::wstring record = records.file(L"record.txt");
    std::wstring old_tmp = env(L"TMP");
    ui::Bitmap picture;
    std::unique_ptr<TForm1> note;
    std::unique_ptr<TForm3> form;
};

void expect_from_system_folder(const Sent& s) {
    EXPECT_EQ(lower(s.module), lower(system_mapi_path()))
        << "loaded from " << ui::to_utf8(s.module);
}

TEST_F(EmailTest, SendsTheFieldsAndThePictureAndRemembersThem) {
    const Fields typed{L"ann@example.com", L"Quarterly figures", L"line one\r\nline two"};
    {
        DialogScript script;
        script.then(compose(&typed, IDOK));
        note->Send1Click();
        EXPECT_TRUE(script.finished());
    }
    std::vector<Sent> calls = sent();
    ASSERT_EQ(calls.size(), 1u) << "no message reached the recorder; is mapi32=n in "
                                   "WINEDLLOVERRIDES?";
    const Sent& s = calls[0];
    EXPECT_EQ(s.entry, L"W");
    expect_from_system_folder(s);
    EXPECT_EQ(s.flags, L"0");
    EXPECT_EQ(s.parent, L"window");
    EXPECT_EQ(s.subject, typed.subject);
    EXPECT_EQ(s.note, typed.body);
    EXPECT_EQ(s.message_flags, L"0");
    EXPECT_EQ(s.originator, (std::vector<std::wstring>{L"0", L"Snipquill", L""}));
    EXPECT_EQ(s.recip_count, (std::vector<std::wstring>{L"1", L"array"}));
    ASSERT_EQ(s.recips.size(), 1u);
    EXPECT_EQ(s.recips[0],
              (std::vector<std::wstring>{L"1", L"ann@example.com", L"SMTP:ann@example.com"}));
    EXPECT_EQ(s.file_count, (std::vector<std::wstring>{L"1", L"array"}));
    ASSERT_EQ(s.files.size(), 1u);
    EXPECT_EQ(s.files[0][0], L"4294967295");
    EXPECT_EQ(lower(s.files[0][1]), lower(attachment()));
    EXPECT_EQ(s.files[0][2], L"Snipquill.png");
    EXPECT_NE(s.files[0][3], L"-1") << "the attachment existed when the mail was handed over";
    const outtest::Image png = outtest::decode_file(attachment());
    EXPECT_TRUE(IsEqualGUID(png.container, GUID_ContainerFormatPng));
    EXPECT_EQ(outtest::mismatches(picture, png), 0u);
    EXPECT_EQ(note->state().last_save_ext, L".png");

    // The second e-mail shows what the first one was given and sends it again.
    Fields shown;
    {
        DialogScript script;
        script.then(compose(nullptr, IDOK, &shown));
        note->Send1Click();
    }
    EXPECT_EQ(shown.address, typed.address);
    EXPECT_EQ(shown.subject, typed.subject);
    EXPECT_EQ(shown.body, typed.body);
    calls = sent();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1].subject, typed.subject);
    EXPECT_EQ(calls[1].note, typed.body);

    // The next save dialog completes a bare name with the attachment's extension.
    outtest::TempFolder saves;
    {
        DialogScript script;
        script.then(outtest::save_as(saves.file(L"after-mail"), 5));
        note->Save1Click();
    }
    EXPECT_EQ(saves.names(), (std::vector<std::wstring>{L"after-mail.png"}));
}

TEST_F(EmailTest, LiveNoteIsCapturedAndAClearedSubjectBecomesSnipquill) {
    note->state().captured = false;
    const Fields typed{L"bob@example.com", L"", L""};
    DialogScript script;
    script.then(compose(&typed, IDOK));
    note->Send1Click();
    EXPECT_TRUE(note->state().captured);
    const std::vector<Sent> calls = sent();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].subject, L"Snipquill");
    EXPECT_EQ(calls[0].note, L"");
    EXPECT_EQ(form->subject(), L"Snipquill") << "the field itself shows the default";
}

struct NothingCase {
    const char* what;
    Fields fields;
    int button;
};

TEST_F(EmailTest, EmptyAddressCancelAndCloseSendAndWriteNothing) {
    const NothingCase cases[] = {
        {"OK with an empty address", {L"", L"s", L"b"}, IDOK},
        {"Cancel", {L"carol@example.com", L"s", L"b"}, IDCANCEL},
    };
    for (const NothingCase& c : cases) {
        SCOPED_TRACE(c.what);
        DialogScript script;
        script.then(compose(&c.fields, c.button));
        note->Send1Click();
        EXPECT_TRUE(script.finished());
        EXPECT_FALSE(note->state().mail_confirmed);
        EXPECT_TRUE(sent().empty());
        EXPECT_TRUE(temp.names().empty()) << "no attachment is written";
        EXPECT_EQ(note->state().last_save_ext, L".BMP");
        EXPECT_FALSE(IsWindowVisible(form->hwnd())) << "the dialog is hidden again";
    }
    // The close button (WM_CLOSE reaches a dialog as Cancel).
    const Fields typed{L"carol@example.com", L"s", L"b"};
    DialogScript script;
    script.then([&](HWND dialog) {
        SetDlgItemTextW(dialog, output::kEmailAddress, typed.address.c_str());
        PostMessageW(dialog, WM_CLOSE, 0, 0);
        return true;
    });
    note->Send1Click();
    EXPECT_TRUE(sent().empty());
    EXPECT_TRUE(temp.names().empty());
}

struct OutcomeCase {
    const wchar_t* result;
    const wchar_t* shown;  // part of the message; null: no message
};

TEST_F(EmailTest, MailErrorsAreShownWithTheirMeaningAbortAndSuccessAreQuiet) {
    const OutcomeCase cases[] = {
        {L"0", nullptr},
        {L"1", nullptr},
        {L"2", L"error 2: general failure"},
        {L"3", L"error 3: logon failure"},
        {L"11", L"error 11: attachment not found"},
        {L"14", L"error 14: unknown recipient"},
        {L"26", L"error 26"},
    };
    const Fields typed{L"dave@example.com", L"s", L"b"};
    for (const OutcomeCase& c : cases) {
        SCOPED_TRACE(ui::to_utf8(c.result));
        SetEnvironmentVariableW(L"SNIPQUILL_MAPI_RESULT", c.result);
        std::wstring texts;
        DialogScript script;
        script.then(compose(&typed, IDOK)).then(outtest::press(IDOK, &texts));
        note->Send1Click();
        if (c.shown) {
            EXPECT_TRUE(script.finished());
            EXPECT_NE(texts.find(c.shown), std::wstring::npos) << ui::to_utf8(texts);
            EXPECT_NE(lower(texts).find(lower(attachment())), std::wstring::npos)
                << "the message says where the picture is";
        } else {
            EXPECT_FALSE(script.finished()) << "a message was shown: " << ui::to_utf8(texts);
        }
    }
    EXPECT_EQ(sent().size(), std::size(cases));
}

// Sets HKLM "...\Windows Messaging Subsystem" MAPI for the scope, then puts back what was there.
class MapiDeclared {
  public:
    explicit MapiDeclared(const wchar_t* value) {
        HKEY key = nullptr;
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows Messaging Subsystem", 0,
                        nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key, nullptr);
        key_.reset(key);
        wchar_t old[64]{};
        DWORD size = sizeof(old);
        had_ = RegQueryValueExW(key_.get(), L"MAPI", nullptr, nullptr, reinterpret_cast<BYTE*>(old),
                                &size) == ERROR_SUCCESS;
        old_ = old;
        if (value)
            set(value);
        else
            RegDeleteValueW(key_.get(), L"MAPI");
    }
    ~MapiDeclared() {
        if (had_)
            set(old_.c_str());
        else
            RegDeleteValueW(key_.get(), L"MAPI");
    }

  private:
    void set(const wchar_t* v) {
        RegSetValueExW(key_.get(), L"MAPI", 0, REG_SZ, reinterpret_cast<const BYTE*>(v),
                       static_cast<DWORD>((wcslen(v) + 1) * sizeof(wchar_t)));
    }
    ui::UniqueKey key_;
    bool had_ = false;
    std::wstring old_;
};

TEST_F(EmailTest, WithoutSimpleMapiDeclaredTheUserIsToldAndNothingIsSent) {
    const Fields typed{L"erin@example.com", L"s", L"b"};
    for (const wchar_t* value : {static_cast<const wchar_t*>(nullptr), L"0"}) {
        SCOPED_TRACE(value ? "MAPI = 0" : "no MAPI value");
        MapiDeclared declared(value);
        EXPECT_FALSE(output::simple_mapi_available());
        std::wstring texts;
        DialogScript script;
        script.then(compose(&typed, IDOK)).then(outtest::press(IDOK, &texts));
        note->Send1Click();
        EXPECT_TRUE(script.finished());
        EXPECT_NE(texts.find(L"No Simple MAPI mail program is installed"), std::wstring::npos)
            << ui::to_utf8(texts);
        EXPECT_NE(lower(texts).find(lower(attachment())), std::wstring::npos);
        EXPECT_EQ(temp.names(), (std::vector<std::wstring>{L"Snipquill.png"}))
            << "the picture is where the message says";
    }
    EXPECT_TRUE(sent().empty());
    EXPECT_TRUE(output::simple_mapi_available()) << "declared again";
}

TEST_F(EmailTest, TextOutsideTheCodePageAndLongTempFoldersArriveIntact) {
    // Cyrillic, Greek and Japanese are outside the prefix's Western code page.
    const std::wstring folder = temp.path() + L"\u0391\u03a9 " + std::wstring(110, L'x') + L"\\";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    use_temp_folder(folder);
    const Fields typed{L"\u00fc\u0436@example.com",
                       L"\u0421\u043d\u0438\u043c\u043e\u043a \u65e5\u672c",
                       L"\u03b1\u03b2\u03b3\r\nzwei"};
    DialogScript script;
    script.then(compose(&typed, IDOK));
    note->Send1Click();
    const std::vector<Sent> calls = sent();
    ASSERT_EQ(calls.size(), 1u);
    const Sent& s = calls[0];
    EXPECT_EQ(s.entry, L"W");
    EXPECT_EQ(s.subject, typed.subject);
    EXPECT_EQ(s.note, typed.body);
    ASSERT_EQ(s.recips.size(), 1u);
    EXPECT_EQ(s.recips[0][1], typed.address);
    EXPECT_EQ(s.recips[0][2], L"SMTP:" + typed.address);
    ASSERT_EQ(s.files.size(), 1u);
    EXPECT_EQ(lower(s.files[0][1]), lower(folder + L"Snipquill.png"));
    EXPECT_GT(folder.size(), 120u);
    EXPECT_NE(s.files[0][3], L"-1");
    EXPECT_EQ(outtest::mismatches(picture, outtest::decode_file(folder + L"Snipquill.png")), 0u);
}

TEST_F(EmailTest, LibraryWithoutTheUnicodeEntryGetsCodePageTexts) {
    struct Case {
        const char* library;
        const wchar_t* entry;
    };
    const Case cases[] = {{MAPI_RECORDER_A, L"A"}, {MAPI_RECORDER_W, L"W"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.library);
        ui::UniqueModule owned(LoadLibraryW(wintest::dos_path(c.library).c_str()));
        ASSERT_TRUE(owned);
        HMODULE library = owned.get();
        output::TMapiControl mail(1, [&](const output::MailMessage& m, std::uintptr_t parent) {
            return output::send_through_library(library, m, parent);
        });
        mail.set_Subject(L"Caf\u00e9 report");
        mail.set_Body(L"line\r\nnext");
        mail.set_FromName(L"Snipquill");
        mail.Recipients() = {L"to@example.com"};
        mail.CopyTo() = {L"cc@example.com"};
        mail.BlindCopyTo() = {L"bcc@example.com"};
        mail.AttachedFiles() = {L"C:\\x\\a.png", L"C:\\y\\b.png"};
        mail.set_ShowDialog(true);
        std::int32_t error = -1;
        mail.OnMapiError = [&](output::TMapiControl&, std::int32_t e) { error = e; };
        SetEnvironmentVariableW(L"SNIPQUILL_MAPI_RESULT", L"14");
        mail.Sendmail();
        EXPECT_EQ(error, 14);
        const std::vector<Sent> calls = sent();
        ASSERT_FALSE(calls.empty());
        const Sent& s = calls.back();
        EXPECT_EQ(s.entry, c.entry);
        EXPECT_EQ(s.flags, L"11");
        EXPECT_EQ(s.subject, L"Caf\u00e9 report") << "é is in the Western code page";
        EXPECT_EQ(s.note, L"line\r\nnext");
        ASSERT_EQ(s.recips.size(), 3u);
        EXPECT_EQ(s.recips[0],
                  (std::vector<std::wstring>{L"1", L"to@example.com", L"SMTP:to@example.com"}));
        EXPECT_EQ(s.recips[1][0], L"2");
        EXPECT_EQ(s.recips[2],
                  (std::vector<std::wstring>{L"3", L"bcc@example.com", L"SMTP:bcc@example.com"}));
        ASSERT_EQ(s.files.size(), 2u);
        EXPECT_EQ(s.files[0][1], L"C:\\x\\a.png");
        EXPECT_EQ(s.files[1][2], L"b.png");
        EXPECT_EQ(s.files[1][0], L"4294967295");
    }
}

TEST_F(EmailTest, DialogLayoutAndOwner) {
    EXPECT_EQ(GetWindow(form->hwnd(), GW_OWNER), note->hwnd());
    RECT client{};
    GetClientRect(form->hwnd(), &client);
    EXPECT_EQ(client.right, 292);
    EXPECT_EQ(client.bottom, 168);
    const LONG_PTR style = GetWindowLongPtrW(form->hwnd(), GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    struct Control {
        int id;
        const wchar_t* text;
        RECT bounds;  // left, top, right, bottom; labels: right and bottom unchecked
        bool tab;
    };
    const Control controls[] = {
        {output::kEmailToLabel, L"To Address:", {6, 8, 0, 0}, false},
        {output::kEmailAddress, L"", {68, 5, 287, 28}, true},
        {output::kEmailSubjectLabel, L"Subject:", {24, 38, 0, 0}, false},
        {output::kEmailSubject, L"Snipquill", {68, 32, 287, 55}, true},
        {output::kEmailBodyLabel, L"Body:", {10, 59, 0, 0}, false},
        {output::kEmailBody, L"", {6, 77, 287, 122}, true},
        {IDOK, L"OK", {50, 133, 125, 158}, true},
        {IDCANCEL, L"Cancel", {166, 133, 241, 158}, true},
    };
    std::vector<int> tab_order;
    for (HWND c = GetWindow(form->hwnd(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (GetWindowLongPtrW(c, GWL_STYLE) & WS_TABSTOP) tab_order.push_back(GetDlgCtrlID(c));
    EXPECT_EQ(tab_order, (std::vector<int>{output::kEmailAddress, output::kEmailSubject,
                                           output::kEmailBody, IDOK, IDCANCEL}));
    for (const Control& c : controls) {
        SCOPED_TRACE(c.id);
        HWND w = GetDlgItem(form->hwnd(), c.id);
        ASSERT_TRUE(w);
        wchar_t text[64]{};
        GetWindowTextW(w, text, 64);
        EXPECT_EQ(std::wstring(text), c.text);
        RECT r{};
        GetWindowRect(w, &r);
        MapWindowPoints(nullptr, form->hwnd(), reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r.left, c.bounds.left);
        EXPECT_EQ(r.top, c.bounds.top);
        if (c.bounds.right) {
            EXPECT_EQ(r.right, c.bounds.right);
            EXPECT_EQ(r.bottom, c.bounds.bottom);
        }
    }
    EXPECT_TRUE(GetWindowLongPtrW(GetDlgItem(form->hwnd(), IDOK), GWL_STYLE) & BS_DEFPUSHBUTTON);

    // Shown: centred on the screen, focus in the address field.
    RECT where{};
    HWND focus = nullptr;
    DialogScript script;
    script.then([&](HWND dialog) {
        GetWindowRect(dialog, &where);
        focus = GetFocus();
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return true;
    });
    note->Send1Click();
    EXPECT_EQ(focus, GetDlgItem(form->hwnd(), output::kEmailAddress));
    EXPECT_LE(std::abs((where.left + where.right) - GetSystemMetrics(SM_CXSCREEN)), 1);
    EXPECT_LE(std::abs((where.top + where.bottom) - GetSystemMetrics(SM_CYSCREEN)), 1);
}

TEST_F(EmailTest, TheCopyInTheProgramsFolderIsNeverLoaded) {
    const Fields typed{L"frank@example.com", L"s", L"b"};
    DialogScript script;
    script.then(compose(&typed, IDOK));
    note->Send1Click();
    const std::vector<Sent> calls = sent();
    ASSERT_EQ(calls.size(), 1u);
    expect_from_system_folder(calls[0]);
    EXPECT_EQ(GetModuleHandleW(planted_path().c_str()), nullptr);
    ASSERT_TRUE(output::simple_mapi_library());
    wchar_t loaded[MAX_PATH]{};
    GetModuleFileNameW(output::simple_mapi_library(), loaded, MAX_PATH);
    EXPECT_EQ(lower(loaded), lower(system_mapi_path()));
}

}  // namespace
