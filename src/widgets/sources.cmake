# Widgets: colour pickers, the link and clouds controls of the about box, and the
# bitmap-preview file dialog. The colour tables, the palette popup's rules, the sky's
# noise and frame mixing, the link's fallback command line and the preview's
# arithmetic are portable; the controls themselves are Windows-only.
list(APPEND LEX_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/color_palette.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cloud_sky.cpp
  ${CMAKE_CURRENT_LIST_DIR}/link_command.cpp
  ${CMAKE_CURRENT_LIST_DIR}/bmp_preview.cpp)
if(WIN32)
  list(APPEND LEX_WIN_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/color_combo.cpp
    ${CMAKE_CURRENT_LIST_DIR}/color_button.cpp
    ${CMAKE_CURRENT_LIST_DIR}/color_popup.cpp
    ${CMAKE_CURRENT_LIST_DIR}/link_static.cpp
    ${CMAKE_CURRENT_LIST_DIR}/clouds_ctrl.cpp
    ${CMAKE_CURRENT_LIST_DIR}/bmp_dialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/bmp_file.cpp)
endif()
