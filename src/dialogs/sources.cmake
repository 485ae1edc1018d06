# Dialogs: tip of the day. The tips file reader is portable; the dialog is Windows-only.
list(APPEND LEX_CORE_SOURCES ${CMAKE_CURRENT_LIST_DIR}/tips_file.cpp)
if(WIN32)
  list(APPEND LEX_WIN_SOURCES ${CMAKE_CURRENT_LIST_DIR}/tip_dlg.cpp)
endif()
