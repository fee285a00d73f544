/* The floor for start-up time: register a class, create and show one window, then quit once the
   first paint has happened. Started by the start-up benchmark the same way as the note. */
#include <windows.h>

static LRESULT CALLBACK proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_PAINT) {
        PAINTSTRUCT ps;
        BeginPaint(h, &ps);
        EndPaint(h, &ps);
        return 0;
    }
    if (m == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(h, m, w, l);
}

int WINAPI WinMain(HINSTANCE inst, HINSTANCE prev, LPSTR cmd, int show) {
    WNDCLASSW wc = {0};
    MSG msg;
    HWND h;
    (void)prev;
    (void)cmd;
    (void)show;
    wc.lpfnWndProc = proc;
    wc.hInstance = inst;
    wc.lpszClassName = L"MinimalWindow";
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    RegisterClassW(&wc);
    h = CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"Minimal", WS_OVERLAPPEDWINDOW,
                        CW_USEDEFAULT, CW_USEDEFAULT, 200, 200, NULL, NULL, inst, NULL);
    ShowWindow(h, SW_SHOW);
    UpdateWindow(h);
    while (GetMessageW(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
