# The lens control: its geometry is platform-free; the control itself draws with GDI.
list(APPEND SNIPQUILL_CORE magnify/lens.cpp)
list(APPEND SNIPQUILL_WIN magnify/magnify.cpp magnify/graphics_file.cpp)
