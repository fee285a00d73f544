// Builds dialog templates in memory, so dialogs need no resource script and the test programs,
// which link the same code without the program's resources, get the same dialogs.
#pragma once

#include <windows.h>

#include <string_view>
#include <vector>

namespace ui {

class DialogTemplate {
  public:
    enum Class : WORD {
        Button = 0x0080,
        Edit = 0x0081,
        Static = 0x0082,
        ListBox = 0x0083,
        ComboBox = 0x0085
    };

    DialogTemplate(std::wstring_view title, DWORD style, short cx, short cy,
                   std::wstring_view font = L"MS Shell Dlg", WORD point_size = 8);
    void add(Class cls, std::wstring_view text, WORD id, DWORD style, short x, short y, short cx,
             short cy, DWORD ex_style = 0);
    void add(std::wstring_view class_name, std::wstring_view text, WORD id, DWORD style, short x,
             short y, short cx, short cy, DWORD ex_style = 0);
    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

  private:
    void header(DWORD style, DWORD ex_style, short x, short y, short cx, short cy, WORD id);
    void dword(DWORD v);
    void text(std::wstring_view s);
    void align();

    std::vector<WORD> words_;
};

}  // namespace ui
