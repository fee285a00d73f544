// The e-mail compose dialog "Email Snipquill": recipient address, subject and a short body. It is
// created once at start-up, owned by the note window (so it never hides behind the topmost
// note), hidden between uses, and keeps what the user typed for the whole run. Its OK writes the
// mail attachment through the note's save_file.
#pragma once

#include <windows.h>

#include <string>

namespace app {
class TForm1;
}

namespace output {

enum EmailFormControl : WORD {
    kEmailAddress = 101,       // TeEdit1
    kEmailSubject = 102,       // TeEdit2
    kEmailBody = 103,          // TeMemo1
    kEmailToLabel = 111,       // Label1
    kEmailSubjectLabel = 112,  // TeLabel1
    kEmailBodyLabel = 113,     // Label2
    // TeButton1 is IDOK, TeButton2 IDCANCEL.
};

inline constexpr wchar_t kEmailTitle[] = L"Email Snipquill";
inline constexpr wchar_t kAttachmentName[] = L"Snipquill.png";

// The user's temporary folder, ending with a separator, however long it is.
std::wstring temp_folder_path();

class TForm3 {
  public:
    // Creates the hidden dialog, owned by the note's window, and makes it the note's e-mail
    // dialog for as long as it lives.
    explicit TForm3(app::TForm1& note);
    ~TForm3();
    TForm3(const TForm3&) = delete;
    TForm3& operator=(const TForm3&) = delete;

    HWND hwnd() const { return hwnd_; }

    // Shows the dialog modally over the note; answers its modal result (IDOK or IDCANCEL).
    int ShowModal();

    void FormActivate();    // focus in the address field
    void BitBtn1Click();    // OK: writes the attachment and confirms the mail
    void TeButton2Click();  // Cancel

    std::wstring address() const { return text_of(kEmailAddress); }
    std::wstring subject() const { return text_of(kEmailSubject); }
    void set_subject(const std::wstring& text);
    std::wstring body() const { return text_of(kEmailBody); }

  private:
    static INT_PTR CALLBACK proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp);
    INT_PTR on_message(UINT msg, WPARAM wp, LPARAM lp);
    void create_controls();
    void end(int result);
    std::wstring text_of(int id) const;

    app::TForm1& note_;
    HWND hwnd_ = nullptr;
    HFONT font_ = nullptr;  // the dialog's own font, owned by the dialog
    bool running_ = false;
    int result_ = IDCANCEL;
};

}  // namespace output
