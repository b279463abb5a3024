cmake_minimum_required(VERSION 3.25)
# Packs the skin folder into one solid 7z archive: LZMA2 with a 768 KiB
# dictionary, compressed header, no time stamps (so the bytes depend only on
# the content). Files in the folder that are no longer skin entries are
# removed first, so a renamed image cannot linger in the archive.
# -DSEVENZIP=<7z> -DSKIN_DIR=<folder> -DARCHIVE=<file> -DENTRIES_FILE=<list>
file(READ ${ENTRIES_FILE} entries)
file(GLOB_RECURSE present RELATIVE ${SKIN_DIR} ${SKIN_DIR}/*)
foreach(file ${present})
  if(NOT file IN_LIST entries)
    message(STATUS "Removing stale skin file ${file}")
    file(REMOVE ${SKIN_DIR}/${file})
  endif()
endforeach()
set(top "")
foreach(entry ${entries})
  string(REGEX REPLACE "/.*" "" first ${entry})
  list(APPEND top ${first})
endforeach()
list(REMOVE_DUPLICATES top)
file(REMOVE ${ARCHIVE})
execute_process(
  COMMAND ${SEVENZIP} a -t7z -m0=LZMA2:d=768k -ms=on -mhc=on -mmt=1 -mtm=off -mtc=off -mta=off -bd -bso0 -bsp0
          ${ARCHIVE} ${top}
  WORKING_DIRECTORY ${SKIN_DIR}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  file(REMOVE ${ARCHIVE})
  message(FATAL_ERROR "7z failed packing the skin (${result})")
endif()
