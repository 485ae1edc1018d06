# Widgets: the colour tables, the palette popup's rules and the bitmap preview's
# arithmetic are portable; the controls themselves are Windows-only.
list(APPEND LEX_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/color_palette.cpp)
list(APPEND LEX_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/bmp_preview.cpp)
if(WIN32)
  list(APPEND LEX_WIN_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/color_combo.cpp
    ${CMAKE_CURRENT_LIST_DIR}/color_button.cpp
    ${CMAKE_CURRENT_LIST_DIR}/color_popup.cpp)
  list(APPEND LEX_WIN_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/bmp_dialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/bmp_file.cpp)
endif()
