# The menu skin: owner-drawn popup menus with toolbar icons, a flat frame and a drawn
# shadow. The colour functions, sizes and shadow table are portable.
list(APPEND LEX_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/menu_rules.cpp)
if(WIN32)
  list(APPEND LEX_WIN_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/menu_theme.cpp
    ${CMAKE_CURRENT_LIST_DIR}/menu_hook.cpp
    ${CMAKE_CURRENT_LIST_DIR}/new_menu.cpp)
endif()
