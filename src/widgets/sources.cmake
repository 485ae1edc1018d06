# Widgets: the colour tables and the palette popup's rules are portable; the controls
# themselves are Windows-only.
list(APPEND LEX_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/color_palette.cpp)
if(WIN32)
  list(APPEND LEX_WIN_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/color_combo.cpp
    ${CMAKE_CURRENT_LIST_DIR}/color_button.cpp
    ${CMAKE_CURRENT_LIST_DIR}/color_popup.cpp)
endif()
