#include "app/help.h"

#include "ui/error.h"
#include "ui/handles.h"

namespace app {

namespace {
constexpr UINT kDisplayTopic = 0;  // HH_DISPLAY_TOPIC: the file's default topic
using HtmlHelpFn = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);
}  // namespace

void show_html_help(HWND owner, const std::wstring& chm_path) {
    // Loaded on first use, so start-up does not pay for it; the viewer lives in this module, so
    // it stays loaded for the rest of the run.
    ui::ensure_com();  // the viewer hosts a browser control
    static ui::UniqueModule viewer;
    if (!viewer) viewer.reset(LoadLibraryW(L"hhctrl.ocx"));
    if (!viewer) ui::throw_last_error(L"The help viewer (hhctrl.ocx) cannot be loaded");
    auto html_help = reinterpret_cast<HtmlHelpFn>(
        reinterpret_cast<void*>(GetProcAddress(viewer.get(), "HtmlHelpW")));
    if (!html_help) ui::throw_last_error(L"The help viewer has no HtmlHelpW");
    html_help(owner, chm_path.c_str(), kDisplayTopic, 0);
}

}  // namespace app
