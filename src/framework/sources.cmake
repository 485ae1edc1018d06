# The framework layer: the small Win32 application layer, Windows-only.
if(WIN32)
  list(APPEND LEX_WIN_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/app.cpp
    ${CMAKE_CURRENT_LIST_DIR}/dialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/dpi.cpp
    ${CMAKE_CURRENT_LIST_DIR}/dpi_follow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/file_dialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/gdi.cpp
    ${CMAKE_CURRENT_LIST_DIR}/propsheet.cpp
    ${CMAKE_CURRENT_LIST_DIR}/menu.cpp
    ${CMAKE_CURRENT_LIST_DIR}/speech.cpp
    ${CMAKE_CURRENT_LIST_DIR}/wnd.cpp)
endif()
