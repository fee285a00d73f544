list(APPEND SNIPQUILL_WIN about/verinfo.cpp)
