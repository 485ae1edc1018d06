# The framework layer. The file backend belongs to the portable core's link, one
# backend per platform; UTF-8 encoding is portable; everything else is Windows-only.
list(APPEND LEX_CORE_SOURCES ${CMAKE_CURRENT_LIST_DIR}/utf8.cpp)
if(WIN32)
  list(APPEND LEX_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/fileio_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/text.cpp)
  list(APPEND LEX_WIN_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/app.cpp
    ${CMAKE_CURRENT_LIST_DIR}/dialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/gdi.cpp
    ${CMAKE_CURRENT_LIST_DIR}/wnd.cpp)
else()
  list(APPEND LEX_CORE_SOURCES ${CMAKE_CURRENT_LIST_DIR}/fileio_posix.cpp)
endif()
