# The dictionaries (Dictionary/*.KM) and the tips of the day (Tips.tip): reviewable
# UTF-8 sources in data/, turned by the native kmtool into the code page 936 files
# the program reads. kmtool fails the build on any line it cannot convert.
set(lex_kmtool ${LEX_HOST_TOOLS}/kmtool)
set(lex_content_files "")

# Source list, then the dictionary's name as the dictionary page shows it.
function(lex_dictionary source name)
  set(src ${CMAKE_CURRENT_LIST_DIR}/dictionaries/${source})
  set(out ${LEX_DIST}/Dictionary/${name}.KM)
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${lex_kmtool} --format tsv ${src} -o ${out}
    DEPENDS ${lex_kmtool} ${src}
    COMMENT "Dictionary ${name}.KM"
    VERBATIM)
  set(lex_content_files ${lex_content_files} ${out} PARENT_SCOPE)
endfunction()

lex_dictionary(default.tsv 缺省字典)
lex_dictionary(starter.tsv 入门词汇)
lex_dictionary(advanced.tsv 进阶词汇)

# The exam word books, made from ECDICT (see dictionaries/SOURCES.md).
lex_dictionary(ecdict-zk.tsv 中考词汇)
lex_dictionary(ecdict-gk.tsv 高考词汇)
lex_dictionary(ecdict-cet4.tsv 四级词汇)
lex_dictionary(ecdict-cet6.tsv 六级词汇)
lex_dictionary(ecdict-ky.tsv 考研词汇)
lex_dictionary(ecdict-ielts.tsv 雅思词汇)
lex_dictionary(ecdict-toefl.tsv 托福词汇)
lex_dictionary(ecdict-gre.tsv GRE词汇)

# The pronunciations come from the CMU Pronouncing Dictionary and the exam books from
# ECDICT, whose licences ask for their notices to travel with the data.
foreach(notice SOURCES.md CMUDICT-LICENSE.txt ECDICT-LICENSE.txt)
  add_custom_command(
    OUTPUT ${LEX_DIST}/Dictionary/${notice}
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_LIST_DIR}/dictionaries/${notice}
            ${LEX_DIST}/Dictionary/${notice}
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/dictionaries/${notice}
    VERBATIM)
  list(APPEND lex_content_files ${LEX_DIST}/Dictionary/${notice})
endforeach()

set(lex_tips_source ${CMAKE_CURRENT_LIST_DIR}/tips/Tips.txt)
add_custom_command(
  OUTPUT ${LEX_DIST}/Tips.tip
  COMMAND ${lex_kmtool} --text-to-936 ${lex_tips_source} -o ${LEX_DIST}/Tips.tip
  DEPENDS ${lex_kmtool} ${lex_tips_source}
  COMMENT "Tips of the day Tips.tip"
  VERBATIM)
list(APPEND lex_content_files ${LEX_DIST}/Tips.tip)

add_custom_target(lex_content ALL DEPENDS ${lex_content_files})
