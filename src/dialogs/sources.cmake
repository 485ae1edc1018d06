# Dialogs: tip of the day and the about box. The tips file reader is portable; the
# dialogs are Windows-only.
list(APPEND LEX_CORE_SOURCES ${CMAKE_CURRENT_LIST_DIR}/tips_file.cpp)
if(WIN32)
  list(APPEND LEX_WIN_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/tip_dlg.cpp
    ${CMAKE_CURRENT_LIST_DIR}/about_dlg.cpp
    ${CMAKE_CURRENT_LIST_DIR}/import_dlg.cpp)
endif()
