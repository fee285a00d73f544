// What the crash report needs from the note and the mail sender: whether the note holds a
// captured picture and how to save it (the save dialog with all four formats), so a crash never
// takes the picture along, and how to send the report by mail.
#pragma once

#include <string>

#include "ui/crash_handler.h"

namespace app {

class TForm1;

ui::CrashSettings crash_settings_for(TForm1& note, std::wstring version,
                                     std::wstring first_argument);

}  // namespace app
