// Our own frame for the note: caption with title, system-menu, minimise and close buttons, and
// borders to size it by. Painting and hit-test codes only; the geometry is in note_layout.
#pragma once

#include <windows.h>

#include <string>

#include "app/note_layout.h"

namespace app {

void paint_note_frame(HWND hwnd, bool active, snipquill::FrameButton pressed);
LRESULT frame_hit_code(snipquill::FrameHit hit);
snipquill::FrameButton frame_button_for(LRESULT hit_code);

}  // namespace app
