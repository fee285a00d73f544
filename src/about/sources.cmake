list(APPEND SNIPQUILL_CORE about/appearing.cpp about/about_texts.cpp about/starfield.cpp)
list(APPEND SNIPQUILL_WIN about/verinfo.cpp about/about_box.cpp)
