# Dictionary files: the buffered line reader and the entry split (portable).
list(APPEND LEX_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/line_reader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/entry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fsrs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/study_record.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dictionary_summary.cpp)
list(APPEND LEX_CORE_SOURCES ${CMAKE_CURRENT_LIST_DIR}/phonetic_table.cpp)
# Word lists (TSV, CSV, plain lines, Anki's text export) to .KM and back: the
# program's import and kmtool both convert through these.
list(APPEND LEX_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/text_codec.cpp
  ${CMAKE_CURRENT_LIST_DIR}/word_list.cpp
  ${CMAKE_CURRENT_LIST_DIR}/word_list_import.cpp)
