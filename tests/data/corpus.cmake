# The corpus of real novels that the tests and the benchmarks read, laid out
# in the build tree: the GBK books and headings.tsv of this folder, copied
# as they are, beside a UTF-8 copy of each book made from it. Included by
# tests/ and bench/: READER_CORPUS_DIR names the folder, and the target
# reader_corpus fills it.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(READER_CORPUS_DIR "${PROJECT_BINARY_DIR}/tests/data")
if(NOT TARGET reader_corpus)
  file(MAKE_DIRECTORY "${READER_CORPUS_DIR}")
  set(_corpus_source "${CMAKE_CURRENT_LIST_DIR}")
  add_custom_command(OUTPUT "${READER_CORPUS_DIR}/headings.tsv"
    COMMAND ${CMAKE_COMMAND} -E copy "${_corpus_source}/headings.tsv" "${READER_CORPUS_DIR}/headings.tsv"
    DEPENDS "${_corpus_source}/headings.tsv"
    VERBATIM)
  set(_corpus_files "${READER_CORPUS_DIR}/headings.tsv")
  foreach(book xiyouji hongloumeng shuihuzhuan rulinwaishi)
    set(_gbk "${_corpus_source}/${book}.gbk.txt")
    add_custom_command(OUTPUT "${READER_CORPUS_DIR}/${book}.gbk.txt" "${READER_CORPUS_DIR}/${book}.utf8.txt"
      COMMAND ${CMAKE_COMMAND} -E copy "${_gbk}" "${READER_CORPUS_DIR}/${book}.gbk.txt"
      COMMAND "${Python3_EXECUTABLE}" "${_corpus_source}/gbk_to_utf8.py" "${_gbk}" "${READER_CORPUS_DIR}/${book}.utf8.txt"
      DEPENDS "${_gbk}" "${_corpus_source}/gbk_to_utf8.py"
      COMMENT "Corpus: ${book}.gbk.txt and its UTF-8 copy"
      VERBATIM)
    list(APPEND _corpus_files "${READER_CORPUS_DIR}/${book}.gbk.txt" "${READER_CORPUS_DIR}/${book}.utf8.txt")
  endforeach()
  add_custom_target(reader_corpus DEPENDS ${_corpus_files})
  unset(_corpus_files)
  unset(_corpus_source)
  unset(_gbk)
endif()
