#include "app/help.h"

#include <memory>

#include "ui/error.h"
#include "ui/handles.h"

namespace app {

namespace {

using HtmlHelpFn = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);

HelpViewer::Library hhctrl() {
    // Shared by the three routines; the library lives in it.
    struct State {
        ui::UniqueModule module;
        HtmlHelpFn fn = nullptr;
    };
    auto state = std::make_shared<State>();
    HelpViewer::Library lib;
    lib.load = [state] {
        state->module.reset(LoadLibraryW(L"hhctrl.ocx"));
        if (!state->module) return false;
        state->fn = reinterpret_cast<HtmlHelpFn>(
            reinterpret_cast<void*>(GetProcAddress(state->module.get(), "HtmlHelpW")));
        if (!state->fn) state->module.reset();
        return state->fn != nullptr;
    };
    lib.html_help = [state](HWND owner, const wchar_t* file, UINT command, DWORD_PTR data) {
        return state->fn ? state->fn(owner, file, command, data) : nullptr;
    };
    lib.unload = [state] {
        state->fn = nullptr;
        state->module.reset();
    };
    return lib;
}

HelpViewer& program_viewer() {
    static HelpViewer viewer;
    return viewer;
}

}  // namespace

HelpViewer::HelpViewer() : HelpViewer(hhctrl()) {}

HelpViewer::HelpViewer(Library library) : library_(std::move(library)) {}

void HelpViewer::show(HWND owner, const std::wstring& chm_path) {
    // Loaded on first use, so start-up does not pay for it.
    ui::ensure_com();  // the viewer hosts a browser control
    if (!loaded_) {
        if (!library_.load())
            ui::throw_last_error(L"The help viewer (hhctrl.ocx) cannot be loaded");
        loaded_ = true;
    }
    library_.html_help(owner, chm_path.c_str(), kDisplayTopic, 0);
}

void HelpViewer::close() {
    if (!loaded_) return;
    loaded_ = false;
    library_.html_help(nullptr, nullptr, kCloseAll, 0);
    library_.unload();
}

void show_html_help(HWND owner, const std::wstring& chm_path) {
    program_viewer().show(owner, chm_path);
}

void close_html_help() { program_viewer().close(); }

}  // namespace app
