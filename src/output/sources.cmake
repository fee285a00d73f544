list(APPEND SNIPQUILL_CORE output/save_format.cpp output/print_fit.cpp output/palette.cpp
     output/png_filter.cpp output/mapi_control.cpp output/jpeg_encoder.cpp)
list(APPEND SNIPQUILL_WIN output/image_codec.cpp output/save.cpp output/clipboard.cpp
     output/printer.cpp output/simple_mapi.cpp output/email_form.cpp
     output/note_email.cpp output/crash_mail.cpp)
