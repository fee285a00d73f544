// One lens move on a 1920 x 1080 picture (two repairs and the stretched lens) against one
// 180 x 180 block copy to the same window, measured in the same run; and heap allocations per
// move.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "bench_util.h"
#include "magnify/magnify.h"
#include "ui/bitmap.h"
#include "ui/handles.h"

namespace {
std::atomic<long> g_allocations{0};
}

void* operator new(std::size_t n) {
    ++g_allocations;
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

LRESULT CALLBACK host_proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    return DefWindowProcW(w, m, wp, lp);
}

}  // namespace

int main() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = host_proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"MagnifyBenchHost";
    RegisterClassW(&wc);
    HWND host = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN,
                                0, 0, 1920, 1080, nullptr, nullptr, wc.hInstance, nullptr);
    magnify::TMagnify lens(host);
    lens.set_MagSquare(30);
    lens.set_MagZoom(3);
    ui::Bitmap picture(1920, 1080);
    for (int y = 0; y < 1080; ++y)
        for (int x = 0; x < 1920; ++x) picture.bits()[y * 1920 + x] = (x * 7) ^ (y * 13);
    lens.SetBitMap(picture);
    lens.MouseDown(ui::MouseButton::Left, ui::kLeftDown, 500, 400);

    constexpr int kMoves = 400;
    int step = 0;
    auto moves = [&] {
        for (int i = 0; i < kMoves; ++i, ++step) {
            // A diagonal sweep of small steps, as a hand moves the mouse.
            const int x = 200 + (step * 3) % 1400, y = 150 + (step * 2) % 700;
            lens.MouseMove(ui::kLeftDown, x, y);
        }
        GdiFlush();
    };
    const ui::Bitmap block(180, 180);
    ui::WindowDC dc(lens.hwnd());
    auto blits = [&] {
        for (int i = 0; i < kMoves; ++i)
            BitBlt(dc.get(), (i * 3) % 1400, (i * 2) % 700, 180, 180, block.dc(), 0, 0, SRCCOPY);
        GdiFlush();
    };
    const double move_ms = bench::median_ms(9, moves) / kMoves;
    const double blit_ms = bench::median_ms(9, blits) / kMoves;

    const long before = g_allocations.load();
    moves();
    const double per_move = double(g_allocations.load() - before) / kMoves;
    lens.MouseUp(ui::MouseButton::Left, 0, 0, 0);

    bench::report("lens move, 1920x1080 picture", move_ms, "ms");
    bench::report("180x180 block copy", blit_ms, "ms");
    bench::report("lens move / block copy", move_ms / blit_ms, "x", "target at most 3");
    bench::report("allocations per lens move", per_move, "", "target 0");
    DestroyWindow(host);
    return 0;
}
