# Application shell: building the program folder is portable.
list(APPEND LEX_CORE_SOURCES ${CMAKE_CURRENT_LIST_DIR}/program_folder.cpp)
if(WIN32)
  list(APPEND LEX_WIN_SOURCES ${CMAKE_CURRENT_LIST_DIR}/lexorin_app.cpp)
endif()
