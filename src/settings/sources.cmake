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
# first_run_look.inc. Editing the shipped file re-runs this step. The file is code
# page 936, which CMake's own line reading would drop, so its bytes are taken one by
# one: bytes above 0x7F become octal escapes, and the sources' UTF-8 reading and
# code page conversion leave them as they are.
set(lex_first_run_ini ${PROJECT_SOURCE_DIR}/data/settings/Lexorin.ini)
set(lex_first_run_dir ${CMAKE_BINARY_DIR}/generated/settings)
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${lex_first_run_ini})
file(READ ${lex_first_run_ini} lex_first_run_hex HEX)
string(REGEX MATCHALL ".." lex_first_run_bytes "${lex_first_run_hex}")
set(lex_first_run_lines "")
set(line "")
foreach(byte IN LISTS lex_first_run_bytes)
  math(EXPR code "0x${byte}")
  if(code EQUAL 10)
    list(APPEND lex_first_run_lines "${line}")
    set(line "")
  elseif(code EQUAL 13)
  elseif(code GREATER 127)
    math(EXPR d1 "${code} / 64")
    math(EXPR d2 "(${code} / 8) % 8")
    math(EXPR d3 "${code} % 8")
    string(APPEND line "\\${d1}${d2}${d3}")
  elseif(code EQUAL 59)
    string(APPEND line "\\073") # ";" would split the list of lines
  elseif(code EQUAL 92 OR code EQUAL 34)
    string(ASCII ${code} char)
    string(APPEND line "\\${char}")
  else()
    string(ASCII ${code} char)
    string(APPEND line "${char}")
  endif()
endforeach()
list(APPEND lex_first_run_lines "${line}")
set(lex_first_run_section "")
set(lex_first_run_text "// Generated from data/settings/Lexorin.ini; do not edit.\n")
foreach(line IN LISTS lex_first_run_lines)
  string(STRIP "${line}" line)
  if(line MATCHES "^\\[([^]]*)")
    string(STRIP "${CMAKE_MATCH_1}" lex_first_run_section)
  elseif(NOT lex_first_run_section STREQUAL "" AND NOT line MATCHES "^\\\\073") # not a comment
    if(line MATCHES "^([^=]+)=(.*)$")
      string(STRIP "${CMAKE_MATCH_1}" key)
      string(STRIP "${CMAKE_MATCH_2}" value)
      string(APPEND lex_first_run_text "{\"${lex_first_run_section}\", \"${key}\", \"${value}\"},\n")
    endif()
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
    ${CMAKE_CURRENT_LIST_DIR}/option_interface_page.cpp
    ${CMAKE_CURRENT_LIST_DIR}/option_study_page.cpp)
endif()
