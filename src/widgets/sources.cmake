# Widgets: the link control and the clouds control of the about box. The sky's noise
# and frame mixing and the link's fallback command line are portable.
list(APPEND LEX_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/cloud_sky.cpp
  ${CMAKE_CURRENT_LIST_DIR}/link_command.cpp)
if(WIN32)
  list(APPEND LEX_WIN_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/link_static.cpp
    ${CMAKE_CURRENT_LIST_DIR}/clouds_ctrl.cpp)
endif()
