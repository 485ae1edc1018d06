# The generic tree property sheet: the page tree's path rules are portable, the sheet
# and the page frame are window classes.
list(APPEND LEX_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/page_tree.cpp)
if(WIN32)
  list(APPEND LEX_WIN_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/page_frame.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tree_prop_sheet.cpp)
endif()
