# Dictionary files: the buffered line reader and the entry split (portable).
list(APPEND LEX_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/line_reader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/entry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fsrs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/study_record.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dictionary_summary.cpp)
list(APPEND LEX_CORE_SOURCES ${CMAKE_CURRENT_LIST_DIR}/phonetic_table.cpp)
