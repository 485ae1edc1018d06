# The 32-bit Windows program, the one users download.
set(LEX_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
