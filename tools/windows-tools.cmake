# Tools that ship in the program folder, cross-built from the same sources as their
# native versions: kmtool.exe, the dictionary converter for users' own word lists.
include(${CMAKE_CURRENT_LIST_DIR}/dictconv/sources.cmake)

add_executable(kmtool ${KMTOOL_LIB_SOURCES} ${KMTOOL_MAIN_SOURCE})
target_include_directories(kmtool PRIVATE ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(kmtool PRIVATE lexcore shell32)
lex_target_defaults(kmtool)
set_target_properties(kmtool PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/dist)
