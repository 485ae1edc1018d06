# kmtool's files, shared by the native build (tools/kmtool/CMakeLists.txt) and the
# Windows build of kmtool.exe (tools/windows-tools.cmake). The conversion itself is
# the program's own (src/dictionary, in lexcore); file names and the console are the
# only platform-specific part here: one file per platform.
set(KMTOOL_LIB_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/cmudict.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ecdict.cpp
  ${CMAKE_CURRENT_LIST_DIR}/kmtool.cpp)
if(WIN32)
  list(APPEND KMTOOL_LIB_SOURCES ${CMAKE_CURRENT_LIST_DIR}/platform_win.cpp)
else()
  list(APPEND KMTOOL_LIB_SOURCES ${CMAKE_CURRENT_LIST_DIR}/platform_posix.cpp)
endif()
set(KMTOOL_MAIN_SOURCE ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
