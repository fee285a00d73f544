#include "output/printer.h"

#include <commdlg.h>
#include <winspool.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <cwchar>
#include <optional>

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

std::optional<std::wstring> default_printer_name() {
    DWORD size = 0;
    sys::GetDefaultPrinterW(nullptr, &size);
    std::wstring name(size, L'\0');
    if (size == 0 || !sys::GetDefaultPrinterW(name.data(), &size)) return std::nullopt;
    name.resize(wcslen(name.c_str()));
    return name;
}

std::vector<std::wstring> installed_printers() {
    constexpr DWORD kWhich = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
    DWORD needed = 0, count = 0;
    sys::EnumPrintersW(kWhich, nullptr, 4, nullptr, 0, &needed, &count);
    if (needed == 0) return {};
    std::vector<std::byte> buffer(needed);
    if (!sys::EnumPrintersW(kWhich, nullptr, 4, reinterpret_cast<LPBYTE>(buffer.data()), needed,
                            &needed, &count))
        return {};
    const auto* info = reinterpret_cast<const PRINTER_INFO_4W*>(buffer.data());
    std::vector<std::wstring> names;
    for (DWORD i = 0; i < count; ++i)
        if (info[i].pPrinterName && *info[i].pPrinterName) names.emplace_back(info[i].pPrinterName);
    return names;
}

}  // namespace

void Printer::ensure_chosen() {
    if (!name_.empty()) return;
    const std::optional<std::wstring> name = default_printer_name();
    if (!name)
        throw ui::AppError(
            L"No printer is installed, or none is set as the default printer.\r\n\r\n"
            L"Install a printer, or choose one with Set Printer..., then print again.");
    devmode_ = read_settings(*name);
    name_ = *name;
}

std::vector<std::byte> Printer::read_settings(const std::wstring& name) {
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
    return settings;
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
    std::wstring start = name_;
    std::vector<std::byte> start_settings = devmode_;
    if (start.empty()) {
        // Nothing chosen yet: the dialog opens on the default printer, or on any installed one
        // when there is no usable default, since this is where the user is sent to choose one.
        // Nothing changes until OK.
        std::vector<std::wstring> offer = installed_printers();
        if (const std::optional<std::wstring> d = default_printer_name())
            offer.insert(offer.begin(), *d);
        for (const std::wstring& candidate : offer) {
            try {
                start_settings = read_settings(candidate);
                start = candidate;
                break;
            } catch (const ui::AppError&) {
                // A printer that cannot be used is not offered; try the next.
            }
        }
        if (start.empty())
            throw ui::AppError(
                L"No printer is installed.\r\n\r\nInstall a printer, then choose it with Set "
                L"Printer...");
    }
    UniqueGlobal mode = to_global(start_settings.data(), start_settings.size());
    UniqueGlobal names = device_names(start);
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
