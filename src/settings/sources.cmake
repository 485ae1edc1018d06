# Settings: the settings file and its value conversions are portable.
list(APPEND LEX_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/value_conv.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ini_file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/settings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/page_tree.cpp)
# The settings sheet and its pages are window classes.
if(WIN32)
  list(APPEND LEX_WIN_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/page_frame.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tree_prop_sheet.cpp
    ${CMAKE_CURRENT_LIST_DIR}/option_sheet.cpp
    ${CMAKE_CURRENT_LIST_DIR}/option_dict_page.cpp
    ${CMAKE_CURRENT_LIST_DIR}/option_voice_page.cpp)
endif()
