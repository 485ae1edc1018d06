# Widgets: self-contained controls used by the settings pages and the about box.
list(APPEND LEX_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/bmp_preview.cpp)
if(WIN32)
  list(APPEND LEX_WIN_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/bmp_dialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/bmp_file.cpp)
endif()
