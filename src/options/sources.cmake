# The option pages and the sheet that holds them. The banner page's value rules and the
# voice page's order of voices are portable; the pages are window classes.
list(APPEND LEX_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/banner_page_values.cpp
  ${CMAKE_CURRENT_LIST_DIR}/voice_choice.cpp
  ${CMAKE_CURRENT_LIST_DIR}/study_chart.cpp)
if(WIN32)
  list(APPEND LEX_WIN_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/option_sheet.cpp
    ${CMAKE_CURRENT_LIST_DIR}/option_dict_page.cpp
    ${CMAKE_CURRENT_LIST_DIR}/option_voice_page.cpp
    ${CMAKE_CURRENT_LIST_DIR}/option_banner_page.cpp
    ${CMAKE_CURRENT_LIST_DIR}/option_interface_page.cpp
    ${CMAKE_CURRENT_LIST_DIR}/option_study_page.cpp
    ${CMAKE_CURRENT_LIST_DIR}/study_chart_ctrl.cpp)
endif()
