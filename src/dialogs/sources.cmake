# Dialogs: the about box (about_dlg).
if(WIN32)
  list(APPEND LEX_WIN_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/about_dlg.cpp)
endif()
