list(APPEND LEX_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/bar_layout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/word_feed.cpp)
if(WIN32)
  list(APPEND LEX_WIN_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/bar_dpi.cpp
    ${CMAKE_CURRENT_LIST_DIR}/bar_attention.cpp
    ${CMAKE_CURRENT_LIST_DIR}/bar_seen.cpp
    ${CMAKE_CURRENT_LIST_DIR}/lexorin_dlg.cpp
    ${CMAKE_CURRENT_LIST_DIR}/bar_study.cpp
    ${CMAKE_CURRENT_LIST_DIR}/bar_study_options.cpp
    ${CMAKE_CURRENT_LIST_DIR}/main_toolbar.cpp)
endif()
