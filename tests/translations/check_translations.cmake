# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when the program has a text that a translation lacks, or a translation holds a text the
# program no longer has: lupdate brings a copy of the .ts up to date with the sources, and every entry
# of the copy must then be translated, and none left without its text.
#
#   cmake -DLUPDATE=<lupdate> -DTS_FILE=<.ts> -DSOURCE_LIST=<file of source paths> -DINCLUDE_DIR=<dir>
#         -DWORK_DIR=<dir> -P check_translations.cmake

foreach(variable LUPDATE TS_FILE SOURCE_LIST INCLUDE_DIR WORK_DIR)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "${variable} is not set")
  endif()
endforeach()

get_filename_component(ts_name ${TS_FILE} NAME)
set(copy ${WORK_DIR}/${ts_name})
file(MAKE_DIRECTORY ${WORK_DIR})
file(COPY_FILE ${TS_FILE} ${copy})
# Obsolete entries are kept, so that a text gone from the sources shows as vanished.
execute_process(COMMAND ${LUPDATE} -silent -locations none -I ${INCLUDE_DIR} @${SOURCE_LIST} -ts ${copy}
                RESULT_VARIABLE result ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "lupdate failed (${result}): ${errors}")
endif()

file(READ ${copy} content)
# One message a list item; a semicolon in a text must not split it.
string(REPLACE ";" "\\;" content "${content}")
string(REPLACE "</message>" "</message>;" messages "${content}")
set(problems "")
set(context "")
foreach(message IN LISTS messages)
  if(message MATCHES "<name>([^<]*)</name>")
    set(context ${CMAKE_MATCH_1})
  endif()
  if(message MATCHES "type=\"(unfinished|vanished|obsolete)\"")
    set(kind ${CMAKE_MATCH_1})
    string(REGEX MATCH "<source>(.*)</source>" source "${message}")
    string(APPEND problems "\n  ${kind} in ${context}: ${CMAKE_MATCH_1}")
  endif()
endforeach()

if(problems)
  message(FATAL_ERROR "${TS_FILE} does not match the program's texts:${problems}\n"
                      "Bring it up to date with the build target update_translations (which drops the vanished "
                      "entries), then translate what is marked unfinished, in Qt Linguist or by hand.")
endif()
message(STATUS "${ts_name}: every text translated")
