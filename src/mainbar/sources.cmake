list(APPEND LEX_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/bar_layout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/bar_power.cpp
  ${CMAKE_CURRENT_LIST_DIR}/hotkey_clash.cpp
  ${CMAKE_CURRENT_LIST_DIR}/word_feed.cpp)
if(WIN32)
  list(APPEND LEX_WIN_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/bar_attention.cpp
    ${CMAKE_CURRENT_LIST_DIR}/bar_background.cpp
    ${CMAKE_CURRENT_LIST_DIR}/bar_hotkeys.cpp
    ${CMAKE_CURRENT_LIST_DIR}/bar_import.cpp
    ${CMAKE_CURRENT_LIST_DIR}/bar_menu.cpp
    ${CMAKE_CURRENT_LIST_DIR}/bar_speech.cpp
    ${CMAKE_CURRENT_LIST_DIR}/bar_power_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/bar_study.cpp
    ${CMAKE_CURRENT_LIST_DIR}/feed_host.cpp
    ${CMAKE_CURRENT_LIST_DIR}/lexorin_dlg.cpp
    ${CMAKE_CURRENT_LIST_DIR}/main_toolbar.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tray_icon.cpp)
endif()
