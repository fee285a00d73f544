#include "annotate/font_list.h"

#include <set>

namespace annotate {

namespace {

int CALLBACK collect(const LOGFONTW* lf, const TEXTMETRICW*, DWORD, LPARAM lp) {
    // Vertical variants ("@Name") are the same family turned on its side.
    if (lf->lfFaceName[0] != L'@')
        reinterpret_cast<std::set<std::wstring>*>(lp)->insert(lf->lfFaceName);
    return 1;
}

}  // namespace

void FontList::create(HWND parent, int id, RECT b) {
    combo_ = CreateWindowExW(0, L"COMBOBOX", L"",
                             WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST |
                                 CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | CBS_SORT,
                             b.left, b.top, b.right - b.left, 300, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             GetModuleHandleW(nullptr), nullptr);
    // The closed box shows one entry at the list's entry height.
    SendMessageW(combo_, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), b.bottom - b.top - 6);
}

void FontList::fill() {
    if (filled_ || !combo_) return;
    filled_ = true;
    std::set<std::wstring> names;
    ui::WindowDC dc(nullptr);
    LOGFONTW lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    EnumFontFamiliesExW(dc.get(), &lf, &collect, reinterpret_cast<LPARAM>(&names), 0);
    SendMessageW(combo_, WM_SETREDRAW, FALSE, 0);
    for (const std::wstring& n : names)
        SendMessageW(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(n.c_str()));
    SendMessageW(combo_, WM_SETREDRAW, TRUE, 0);
}

int FontList::count() const { return static_cast<int>(SendMessageW(combo_, CB_GETCOUNT, 0, 0)); }

std::wstring FontList::entry(int i) const {
    const LRESULT n = SendMessageW(combo_, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
    if (n == CB_ERR) return {};
    std::wstring s(static_cast<std::size_t>(n) + 1, L'\0');
    const LRESULT got = SendMessageW(combo_, CB_GETLBTEXT, static_cast<WPARAM>(i),
                                     reinterpret_cast<LPARAM>(s.data()));
    s.resize(got == CB_ERR ? 0 : static_cast<std::size_t>(got));
    return s;
}

ui::FontSpec FontList::font() const {
    ui::FontSpec f;  // the face a new font object has
    const LRESULT sel = SendMessageW(combo_, CB_GETCURSEL, 0, 0);
    if (sel != CB_ERR) f.name = entry(static_cast<int>(sel));
    return f;
}

void FontList::measure(MEASUREITEMSTRUCT& m) const { m.itemHeight = kFontListItemHeight; }

HFONT FontList::face(const std::wstring& name) {
    ui::UniqueGdi<HFONT>& f = faces_[name];
    if (!f)
        f.reset(CreateFontW(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                            DEFAULT_PITCH | FF_DONTCARE, name.c_str()));
    return f.get();
}

void FontList::draw(const DRAWITEMSTRUCT& d) {
    const bool selected = (d.itemState & ODS_SELECTED) != 0;
    FillRect(d.hDC, &d.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (d.itemID == static_cast<UINT>(-1)) return;
    const std::wstring name = entry(static_cast<int>(d.itemID));
    // Symbol faces draw no letters: the closed box names them in the window's own font.
    HFONT font = (d.itemState & ODS_COMBOBOXEDIT) ? nullptr : face(name);
    HGDIOBJ old = font ? SelectObject(d.hDC, font) : nullptr;
    SetBkMode(d.hDC, TRANSPARENT);
    SetTextColor(d.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    RECT r = d.rcItem;
    r.left += 2;
    DrawTextW(d.hDC, name.c_str(), -1, &r, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (old) SelectObject(d.hDC, old);
    if (d.itemState & ODS_FOCUS) DrawFocusRect(d.hDC, &d.rcItem);
}

}  // namespace annotate
