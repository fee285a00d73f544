list(APPEND SNIPQUILL_WIN ui/error.cpp ui/bitmap.cpp ui/window.cpp ui/picture.cpp
     ui/dialog_template.cpp ui/error_report.cpp ui/safe_file.cpp ui/system_api.cpp
     ui/message_loop.cpp)
list(APPEND SNIPQUILL_WIN ui/canvas.cpp)
list(APPEND SNIPQUILL_CORE ui/crash_text.cpp)
list(APPEND SNIPQUILL_WIN ui/crash_handler.cpp)
