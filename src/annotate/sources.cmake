# Annotation: polylines (boxes, arrows), texts, arrowhead geometry and the box and arrow store.
list(APPEND SNIPQUILL_CORE annotate/component.cpp annotate/cad_calc_ops.cpp
     annotate/mouse_hook.cpp annotate/polyline_logic.cpp annotate/polyline.cpp
     annotate/canvas_text.cpp annotate/arrowhead.cpp annotate/store.cpp
     annotate/palette_logic.cpp)
list(APPEND SNIPQUILL_WIN annotate/note_annotations.cpp annotate/annotate_palette.cpp
     annotate/color_button.cpp annotate/spin_box.cpp annotate/font_list.cpp)
