# The same sources for x86-64, which 64-bit Wine runs on machines that cannot run
# 32-bit programs.
set(LEX_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
