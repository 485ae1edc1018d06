# The word banner: the item record, the item list and the scrolling engine are
# portable; the window classes and the multimedia timer are Windows-only.
list(APPEND LEX_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/banner_item.cpp
  ${CMAKE_CURRENT_LIST_DIR}/canvas_items.cpp
  ${CMAKE_CURRENT_LIST_DIR}/banner_scroll.cpp)
if(WIN32)
  list(APPEND LEX_WIN_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/banner_timer_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/canvas_wnd.cpp
    ${CMAKE_CURRENT_LIST_DIR}/banner_ctrl.cpp)
endif()
