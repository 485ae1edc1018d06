# The settings file: reading and writing every key, and the value conversions. Portable,
# and needs nothing but base.
list(APPEND LEX_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/value_conv.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ini_file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/settings.cpp)

# The built-in first-run look, generated from the shipped settings file.
include(${PROJECT_SOURCE_DIR}/cmake/first_run_look.cmake)
set_property(SOURCE ${CMAKE_CURRENT_LIST_DIR}/settings.cpp APPEND PROPERTY INCLUDE_DIRECTORIES ${lex_first_run_dir})
