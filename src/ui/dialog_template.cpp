#include "ui/dialog_template.h"

namespace ui {

DialogTemplate::DialogTemplate(std::wstring_view title, DWORD style, short cx, short cy,
                               std::wstring_view font, WORD point_size) {
    dword(style | DS_SETFONT);
    dword(0);             // extended style
    words_.push_back(0);  // item count, patched by add()
    for (short v : {short{0}, short{0}, cx, cy}) words_.push_back(static_cast<WORD>(v));
    words_.push_back(0);  // no menu
    words_.push_back(0);  // default class
    text(title);
    words_.push_back(point_size);
    text(font);
}

void DialogTemplate::dword(DWORD v) {
    words_.push_back(LOWORD(v));
    words_.push_back(HIWORD(v));
}

void DialogTemplate::text(std::wstring_view s) {
    for (wchar_t c : s) words_.push_back(static_cast<WORD>(c));
    words_.push_back(0);
}

void DialogTemplate::align() {
    if (words_.size() % 2) words_.push_back(0);
}

void DialogTemplate::header(DWORD style, DWORD ex_style, short x, short y, short cx, short cy,
                            WORD id) {
    align();
    dword(style | WS_CHILD | WS_VISIBLE);
    dword(ex_style);
    for (short v : {x, y, cx, cy}) words_.push_back(static_cast<WORD>(v));
    words_.push_back(id);
    ++words_[4];  // cdit sits after the two DWORDs
}

void DialogTemplate::add(Class cls, std::wstring_view caption, WORD id, DWORD style, short x,
                         short y, short cx, short cy, DWORD ex_style) {
    header(style, ex_style, x, y, cx, cy, id);
    words_.push_back(0xFFFF);
    words_.push_back(cls);
    text(caption);
    words_.push_back(0);  // no creation data
}

void DialogTemplate::add(std::wstring_view class_name, std::wstring_view caption, WORD id,
                         DWORD style, short x, short y, short cx, short cy, DWORD ex_style) {
    header(style, ex_style, x, y, cx, cy, id);
    text(class_name);
    text(caption);
    words_.push_back(0);
}

}  // namespace ui
