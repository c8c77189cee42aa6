# Stages one language's help sources in STAGE_DIR, in CHARSET, and compiles PROJECT_FILE there.
# Any warning of the compiler (a missing file, a link to a page that does not exist) fails it.
cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE ${STAGE_DIR})
file(MAKE_DIRECTORY ${STAGE_DIR})
file(GLOB sources ${SOURCE_DIR}/*)
foreach(source IN LISTS sources ITEMS ${STYLE})
  get_filename_component(name ${source} NAME)
  if(CHARSET STREQUAL "utf-8")
    file(COPY_FILE ${source} ${STAGE_DIR}/${name})
    continue()
  endif()
  # Viewers read the strings of a CHM's contents and index in the language's code page.
  file(READ ${source} text)
  string(REPLACE "charset=utf-8" "charset=${CHARSET}" text "${text}")
  file(WRITE ${STAGE_DIR}/${name}.utf-8 "${text}")
  execute_process(
    COMMAND ${ICONV} -f UTF-8 -t ${CHARSET} ${STAGE_DIR}/${name}.utf-8
    OUTPUT_FILE ${STAGE_DIR}/${name}
    RESULT_VARIABLE converted)
  if(NOT converted EQUAL 0)
    message(FATAL_ERROR "${source} cannot be written in ${CHARSET}")
  endif()
  file(REMOVE ${STAGE_DIR}/${name}.utf-8)
endforeach()

execute_process(
  COMMAND ${CHMCMD} ${PROJECT_FILE}
  WORKING_DIRECTORY ${STAGE_DIR}
  OUTPUT_VARIABLE output
  ERROR_VARIABLE output
  RESULT_VARIABLE compiled)
string(REGEX REPLACE "\\.hhp$" ".chm" chm ${PROJECT_FILE})
if(NOT compiled EQUAL 0 OR output MATCHES "Warning:")
  file(REMOVE ${STAGE_DIR}/${chm})
  message(FATAL_ERROR "chmcmd ${PROJECT_FILE} failed:\n${output}")
endif()
