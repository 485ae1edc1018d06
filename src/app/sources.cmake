# Application shell: start-up and shutdown.
if(WIN32)
  list(APPEND LEX_WIN_SOURCES ${CMAKE_CURRENT_LIST_DIR}/lexorin_app.cpp)
endif()
