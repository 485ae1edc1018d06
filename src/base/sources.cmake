# Portable helpers every layer may use: files, UTF-8, code page 936 byte rules and
# conversions, the program folder. Their interfaces include no <windows.h>; the file
# backend and the UTF-16 conversions have one implementation per platform. The toolbar
# resource format is read by the main bar's toolbar and by the menu skin.
list(APPEND LEX_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/fileio.cpp
  ${CMAKE_CURRENT_LIST_DIR}/utf8.cpp
  ${CMAKE_CURRENT_LIST_DIR}/program_folder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/toolbar_resource.cpp)
if(WIN32)
  list(APPEND LEX_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/fileio_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/text.cpp)
else()
  list(APPEND LEX_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/fileio_posix.cpp
    ${CMAKE_CURRENT_LIST_DIR}/text_posix.cpp)
endif()
