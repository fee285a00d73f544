#include "test_printer.h"

#include <windows.h>
#include <winspool.h>

#include <string>

#include "ui/error.h"
#include "ui/handles.h"

namespace outtest {

namespace {

constexpr wchar_t kDriver[] = L"Snipquill Test PostScript";
constexpr wchar_t kPortA[] = L"SNIPQUILLTEST_A:";
constexpr wchar_t kPortB[] = L"SNIPQUILLTEST_B:";
constexpr wchar_t kPpdName[] = L"snipquill-test.ppd";

// US Letter at 600 dpi. The imageable area is 360.15 x 720.15 points: 3001 x 6001 pixels and
// 127 x 254 whole millimetres, so the resolution the program derives is 600 in both directions.
// Wine's driver truncates each corner's float coordinate times 600 / 72 to a whole pixel, so no
// corner may land on a whole pixel: there the 32-bit driver's x87 arithmetic and the 64-bit one's
// SSE arithmetic fall on either side of it (4051.9999 against 4052.0 for 486.24 points), and the
// two builds see pages a pixel apart. Every corner here lies a quarter pixel past a whole one.
constexpr char kPpd[] = R"ppd(*PPD-Adobe: "4.3"
*FormatVersion: "4.3"
*FileVersion: "1.0"
*LanguageVersion: English
*LanguageEncoding: ISOLatin1
*PCFileName: "SNIPQTST.PPD"
*Manufacturer: "Snipquill"
*Product: "(Snipquill Test PostScript)"
*PSVersion: "(3010) 0"
*ModelName: "Snipquill Test PostScript"
*ShortNickName: "Snipquill Test PostScript"
*NickName: "Snipquill Test PostScript"
*ColorDevice: True
*DefaultColorSpace: RGB
*LanguageLevel: "3"
*DefaultResolution: 600dpi
*OpenUI *PageSize: PickOne
*OrderDependency: 10 AnySetup *PageSize
*DefaultPageSize: Letter
*PageSize Letter/Letter: "<</PageSize[612 792]/ImagingBBox null>>setpagedevice"
*CloseUI: *PageSize
*OpenUI *PageRegion: PickOne
*OrderDependency: 10 AnySetup *PageRegion
*DefaultPageRegion: Letter
*PageRegion Letter/Letter: "<</PageSize[612 792]/ImagingBBox null>>setpagedevice"
*CloseUI: *PageRegion
*DefaultImageableArea: Letter
*ImageableArea Letter/Letter: "126 36 486.15 756.15"
*DefaultPaperDimension: Letter
*PaperDimension Letter/Letter: "612 792"
)ppd";

bool printer_exists(const wchar_t* name) {
    HANDLE h = nullptr;
    if (!OpenPrinterW(const_cast<wchar_t*>(name), &h, nullptr)) return false;
    ClosePrinter(h);
    return true;
}

constexpr wchar_t kWindowsKey[] = L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows";

}  // namespace

std::wstring install_test_printers() {
    // The driver and its PPD are put in place at every run, so a prefix made by an earlier
    // version of this file prints with the page described here.
    {
        wchar_t folder[MAX_PATH];
        DWORD needed = 0;
        if (!GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(folder),
                                        sizeof(folder), &needed))
            return L"no printer driver folder: " + ui::system_message(GetLastError());
        CreateDirectoryW(folder, nullptr);
        const std::wstring ppd = std::wstring(folder) + L"\\" + kPpdName;
        {
            ui::UniqueHandle file(
                CreateFileW(ppd.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
            DWORD written = 0;
            if (file.get() == INVALID_HANDLE_VALUE ||
                !WriteFile(file.get(), kPpd, sizeof(kPpd) - 1, &written, nullptr))
                return L"cannot write the PPD: " + ui::system_message(GetLastError());
        }
        DRIVER_INFO_3W driver{};
        driver.cVersion = 3;
        driver.pName = const_cast<wchar_t*>(kDriver);
        driver.pDriverPath = const_cast<wchar_t*>(L"wineps.drv");
        driver.pConfigFile = const_cast<wchar_t*>(L"wineps.drv");
        driver.pDataFile = const_cast<wchar_t*>(ppd.c_str());
        if (!AddPrinterDriverExW(nullptr, 3, reinterpret_cast<BYTE*>(&driver), APD_COPY_ALL_FILES))
            return L"cannot install the test printer driver: " + ui::system_message(GetLastError());
    }
    for (auto [name, port] : {std::pair{kTestPrinter, kPortA}, std::pair{kTestPrinterB, kPortB}}) {
        if (printer_exists(name)) continue;
        PRINTER_INFO_2W info{};
        info.pPrinterName = const_cast<wchar_t*>(name);
        info.pPortName = const_cast<wchar_t*>(port);
        info.pDriverName = const_cast<wchar_t*>(kDriver);
        info.pPrintProcessor = const_cast<wchar_t*>(L"WinPrint");
        info.pDatatype = const_cast<wchar_t*>(L"RAW");
        HANDLE added = AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&info));
        if (!added)
            return std::wstring(L"cannot add ") + name + L": " + ui::system_message(GetLastError());
        ClosePrinter(added);
    }
    if (!SetDefaultPrinterW(kTestPrinter))
        return L"cannot make the test printer the default: " + ui::system_message(GetLastError());
    return {};
}

void send_jobs_to(const std::wstring& printer, const std::string& unix_folder) {
    const std::string f = "'" + unix_folder;
    const std::string command = "|cat > " + f + "job.ps' && gs -q -dSAFER -dBATCH -dNOPAUSE " +
                                "-sDEVICE=pgmraw -r600 -sOutputFile=" + f + "job.pgm' " + f +
                                "job.ps' ; echo done > " + f + "job.done'";
    const std::wstring value = ui::to_wide(command);
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\Printing\\Spooler", 0, nullptr, 0,
                    KEY_SET_VALUE, nullptr, &key, nullptr);
    ui::UniqueKey spooler(key);
    const wchar_t* port = printer == kTestPrinterB ? kPortB : kPortA;
    RegSetValueExW(spooler.get(), port, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

std::wstring default_printer_setting() {
    wchar_t value[1024]{};
    DWORD size = sizeof(value);
    if (RegGetValueW(HKEY_CURRENT_USER, kWindowsKey, L"Device", RRF_RT_REG_SZ, nullptr, value,
                     &size) != ERROR_SUCCESS)
        return {};
    return value;
}

void set_default_printer_setting(const std::wstring& value) {
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, kWindowsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                    nullptr);
    ui::UniqueKey windows(key);
    if (value.empty())
        RegDeleteValueW(windows.get(), L"Device");
    else
        RegSetValueExW(windows.get(), L"Device", 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

}  // namespace outtest
