// Our own frame for the note: caption with title, system-menu, roll-up, tray, minimise and close
// buttons, and borders to size it by. Painting and hit-test codes only; the geometry is in
// note_layout.
#pragma once

#include <windows.h>

#include <string>

#include "app/note_layout.h"

namespace app {

// Hit codes of the roll-up and tray buttons: codes the system gives no action of its own, so only
// the note acts on them.
constexpr LRESULT kHitRollup = HTOBJECT;
constexpr LRESULT kHitTray = HTBORDER;

void paint_note_frame(HWND hwnd, bool active, snipquill::FrameButton pressed);
LRESULT frame_hit_code(snipquill::FrameHit hit);
snipquill::FrameButton frame_button_for(LRESULT hit_code);

}  // namespace app
