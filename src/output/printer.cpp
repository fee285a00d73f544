#include "output/printer.h"

#include <commdlg.h>
#include <winspool.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <cwchar>

#include "output/print_fit.h"
#include "ui/error.h"
#include "ui/system_api.h"

namespace output {

namespace {

struct PrinterCloser {
    // The look-up cannot fail once OpenPrinterW has worked; a destructor must not throw anyway.
    void operator()(HANDLE h) const noexcept {
        try {
            sys::ClosePrinter(h);
        } catch (...) {
        }
    }
};
using UniquePrinter = ui::Unique<HANDLE, PrinterCloser>;

using ui::UniqueGlobal;

// Bytes in a global memory block, for the set-up dialog.
UniqueGlobal to_global(const void* data, std::size_t size) {
    UniqueGlobal memory(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size));
    void* p = memory ? GlobalLock(memory.get()) : nullptr;
    if (!p) ui::throw_last_error(L"Cannot show the printer set-up dialog");
    std::memcpy(p, data, size);
    GlobalUnlock(memory.get());
    return memory;
}

UniqueGlobal device_names(const std::wstring& device) {
    const std::wstring driver = L"winspool";
    std::vector<wchar_t> block(sizeof(DEVNAMES) / sizeof(wchar_t) + driver.size() + device.size() +
                               3);
    auto* names = reinterpret_cast<DEVNAMES*>(block.data());
    names->wDriverOffset = sizeof(DEVNAMES) / sizeof(wchar_t);
    names->wDeviceOffset = static_cast<WORD>(names->wDriverOffset + driver.size() + 1);
    names->wOutputOffset = static_cast<WORD>(names->wDeviceOffset + device.size() + 1);
    std::memcpy(block.data() + names->wDriverOffset, driver.c_str(), driver.size() * 2);
    std::memcpy(block.data() + names->wDeviceOffset, device.c_str(), device.size() * 2);
    return to_global(block.data(), block.size() * sizeof(wchar_t));
}

// A DEVMODE must at least reach the orientation, which we set.
constexpr std::size_t kSmallestDevmode = offsetof(DEVMODEW, dmOrientation) + sizeof(short);

std::wstring cannot_use(const std::wstring& name) {
    return L"Cannot use the printer \"" + name + L"\"";
}

// Ends the job when drawing fails half-way, so no half page stays in the spooler.
class Job {
  public:
    Job(HDC dc, const std::wstring& printer) : dc_(dc), printer_(printer) {
        DOCINFOW doc{};
        doc.cbSize = sizeof(doc);
        doc.lpszDocName = kPrintJobTitle;
        if (StartDocW(dc_, &doc) <= 0)
            ui::throw_last_error(L"Cannot print on \"" + printer_ + L"\"");
        started_ = true;
    }
    Job(const Job&) = delete;
    Job& operator=(const Job&) = delete;
    ~Job() {
        if (started_) AbortDoc(dc_);
    }
    void check(bool ok) const {
        if (!ok) ui::throw_last_error(L"Cannot print on \"" + printer_ + L"\"");
    }
    void end() {
        started_ = false;
        check(EndDoc(dc_) > 0);
    }

  private:
    HDC dc_;
    const std::wstring& printer_;
    bool started_ = false;
};

}  // namespace

void Printer::ensure_chosen() {
    if (!name_.empty()) return;
    DWORD size = 0;
    sys::GetDefaultPrinterW(nullptr, &size);
    std::wstring name(size, L'\0');
    if (size == 0 || !sys::GetDefaultPrinterW(name.data(), &size))
        throw ui::AppError(
            L"No printer is installed, or none is set as the default printer.\r\n\r\n"
            L"Install a printer, or choose one with Set Printer..., then print again.");
    name.resize(wcslen(name.c_str()));
    load_settings(name);
}

void Printer::load_settings(const std::wstring& name) {
    HANDLE handle = nullptr;
    if (!sys::OpenPrinterW(const_cast<wchar_t*>(name.c_str()), &handle, nullptr))
        ui::throw_last_error(cannot_use(name));
    UniquePrinter printer(handle);
    const LONG size = sys::DocumentPropertiesW(
        nullptr, printer.get(), const_cast<wchar_t*>(name.c_str()), nullptr, nullptr, 0);
    if (size < static_cast<LONG>(kSmallestDevmode)) ui::throw_last_error(cannot_use(name));
    // Room for every field we name, even from a driver with an older, shorter DEVMODE; the
    // driver's own part stays where dmSize says.
    std::vector<std::byte> settings(std::max(static_cast<std::size_t>(size), sizeof(DEVMODEW)));
    if (sys::DocumentPropertiesW(nullptr, printer.get(), const_cast<wchar_t*>(name.c_str()),
                                 reinterpret_cast<DEVMODEW*>(settings.data()), nullptr,
                                 DM_OUT_BUFFER) != IDOK)
        ui::throw_last_error(cannot_use(name));
    name_ = name;
    devmode_ = std::move(settings);
}

void Printer::set_orientation(Orientation orientation) {
    ensure_chosen();
    devmode()->dmOrientation = static_cast<short>(orientation);
    devmode()->dmFields |= DM_ORIENTATION;
}

Orientation Printer::orientation() {
    ensure_chosen();
    return devmode()->dmOrientation == DMORIENT_LANDSCAPE ? Orientation::Landscape
                                                          : Orientation::Portrait;
}

const std::wstring& Printer::name() {
    ensure_chosen();
    return name_;
}

void Printer::setup_dialog(HWND owner) {
    ensure_chosen();
    UniqueGlobal mode = to_global(devmode_.data(), devmode_.size());
    UniqueGlobal names = device_names(name_);
    PRINTDLGW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.Flags = PD_PRINTSETUP;
    // The dialog may free these and hand back others.
    dialog.hDevMode = mode.release();
    dialog.hDevNames = names.release();
    const BOOL ok = sys::PrintDlgW(&dialog);
    mode.reset(dialog.hDevMode);
    names.reset(dialog.hDevNames);
    if (!ok) {
        const DWORD code = sys::CommDlgExtendedError();
        if (code == 0) return;  // cancelled
        throw ui::AppError(L"The printer set-up dialog could not be shown (common dialog error " +
                           std::to_wstring(code) + L").");
    }
    if (!mode || !names) return;
    std::wstring device;
    if (const auto* chosen = static_cast<const DEVNAMES*>(GlobalLock(names.get()))) {
        device = reinterpret_cast<const wchar_t*>(chosen) + chosen->wDeviceOffset;
        GlobalUnlock(names.get());
    }
    std::vector<std::byte> settings;
    if (const auto* chosen = static_cast<const DEVMODEW*>(GlobalLock(mode.get()))) {
        const std::size_t size = std::min<std::size_t>(
            std::size_t{chosen->dmSize} + chosen->dmDriverExtra, GlobalSize(mode.get()));
        if (size >= kSmallestDevmode) {
            settings.resize(std::max(size, sizeof(DEVMODEW)));
            std::memcpy(settings.data(), chosen, size);
        }
        GlobalUnlock(mode.get());
    }
    if (device.empty() || settings.empty()) return;  // nothing usable came back
    name_ = device;
    devmode_ = std::move(settings);
}

ui::UniqueDC Printer::create_dc() {
    ensure_chosen();
    ui::UniqueDC dc(CreateDCW(L"WINSPOOL", name_.c_str(), nullptr, devmode()));
    if (!dc) ui::throw_last_error(cannot_use(name_));
    return dc;
}

void print_picture(Printer& printer, const ui::Bitmap& picture, int screen_ppi) {
    ui::UniqueDC dc = printer.create_dc();
    const snipquill::PrinterPage page{
        GetDeviceCaps(dc.get(), HORZRES), GetDeviceCaps(dc.get(), VERTRES),
        GetDeviceCaps(dc.get(), HORZSIZE), GetDeviceCaps(dc.get(), VERTSIZE)};
    const std::optional<snipquill::PrintSize> size =
        snipquill::print_size(page, screen_ppi, picture.width(), picture.height());
    if (!size)
        throw ui::AppError(L"Cannot print on \"" + printer.name() +
                           L"\": the printer reports no usable page size.");

    Job job(dc.get(), printer.name());
    job.check(StartPage(dc.get()) > 0);
    if (!picture.empty() && size->width > 0 && size->height > 0) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = picture.width();
        info.bmiHeader.biHeight = -picture.height();
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        GdiFlush();
        SetStretchBltMode(dc.get(), HALFTONE);
        SetBrushOrgEx(dc.get(), 0, 0, nullptr);
        job.check(StretchDIBits(dc.get(), 0, 0, size->width, size->height, 0, 0, picture.width(),
                                picture.height(), picture.bits(), &info, DIB_RGB_COLORS,
                                SRCCOPY) > 0);
    }
    job.check(EndPage(dc.get()) > 0);
    job.end();
}

int screen_pixels_per_inch() {
    ui::WindowDC screen(nullptr);
    const int ppi = screen ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
    return ppi > 0 ? ppi : 96;
}

}  // namespace output
