list(APPEND SNIPQUILL_CORE app/command_line.cpp app/data_folder.cpp app/note_layout.cpp app/commands.cpp)
list(APPEND SNIPQUILL_WIN app/note_window.cpp app/note_frame.cpp app/perforation.cpp
     app/crash_picture.cpp app/startup.cpp app/help.cpp app/note_chrome.cpp app/sys_menu.cpp
     app/tray.cpp)
