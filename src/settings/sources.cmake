# Settings: the settings file and its value conversions are portable.
list(APPEND LEX_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/value_conv.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ini_file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/settings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/page_tree.cpp
  ${CMAKE_CURRENT_LIST_DIR}/banner_page_values.cpp)

# The look a new user starts with is built into the program from the shipped settings
# file, so that a missing or reset file still gets it: every "key=value" line of
# data/settings/Lexorin.ini becomes one {section, key, value} entry of
# first_run_look.inc. Editing the shipped file re-runs this step.
set(lex_first_run_ini ${PROJECT_SOURCE_DIR}/data/settings/Lexorin.ini)
set(lex_first_run_dir ${CMAKE_BINARY_DIR}/generated/settings)
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${lex_first_run_ini})
file(STRINGS ${lex_first_run_ini} lex_first_run_lines REGEX "^[ \t]*([[]|[^;[ \t=][^=]*=)")
set(lex_first_run_section "")
set(lex_first_run_text "// Generated from data/settings/Lexorin.ini; do not edit.\n")
foreach(line IN LISTS lex_first_run_lines)
  string(STRIP "${line}" line)
  if(line MATCHES "^\\[([^]]*)")
    string(STRIP "${CMAKE_MATCH_1}" lex_first_run_section)
  elseif(line MATCHES "^([^=]*)=(.*)$" AND NOT lex_first_run_section STREQUAL "")
    string(STRIP "${CMAKE_MATCH_1}" key)
    string(STRIP "${CMAKE_MATCH_2}" value)
    foreach(part IN ITEMS key value)
      string(REPLACE "\\" "\\\\" ${part} "${${part}}")
      string(REPLACE "\"" "\\\"" ${part} "${${part}}")
    endforeach()
    string(APPEND lex_first_run_text "{\"${lex_first_run_section}\", \"${key}\", \"${value}\"},\n")
  endif()
endforeach()
file(CONFIGURE OUTPUT ${lex_first_run_dir}/first_run_look.inc CONTENT "${lex_first_run_text}" @ONLY)
set_property(SOURCE ${CMAKE_CURRENT_LIST_DIR}/settings.cpp APPEND PROPERTY INCLUDE_DIRECTORIES ${lex_first_run_dir})
# The settings sheet and its pages are window classes.
if(WIN32)
  list(APPEND LEX_WIN_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/page_frame.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tree_prop_sheet.cpp
    ${CMAKE_CURRENT_LIST_DIR}/option_sheet.cpp
    ${CMAKE_CURRENT_LIST_DIR}/option_dict_page.cpp
    ${CMAKE_CURRENT_LIST_DIR}/option_voice_page.cpp
    ${CMAKE_CURRENT_LIST_DIR}/option_banner_page.cpp
    ${CMAKE_CURRENT_LIST_DIR}/option_interface_page.cpp)
endif()
