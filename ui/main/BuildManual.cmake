# Compiles the user manual: cmake -DSOURCE=<docs/manual> -DSTAGE=<work folder>
# -DOUTPUT=<manual file> -DCHMCMD=<chmcmd> -DICONV=<iconv> -P BuildManual.cmake
#
# The pages stay UTF-8. The project file and the table of contents are read by
# CHM viewers in the code page of the manual's language (0x804, Simplified
# Chinese), so they are converted to GB18030 first.

file(REMOVE_RECURSE "${STAGE}")
file(COPY "${SOURCE}/" DESTINATION "${STAGE}")

foreach(name velmora-manual.hhp toc.hhc)
  execute_process(COMMAND "${ICONV}" -f UTF-8 -t GB18030 "${SOURCE}/${name}"
                  OUTPUT_FILE "${STAGE}/${name}" RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "converting ${name} failed")
  endif()
endforeach()

execute_process(COMMAND "${CHMCMD}" --no-html-scan velmora-manual.hhp
                WORKING_DIRECTORY "${STAGE}" RESULT_VARIABLE result OUTPUT_VARIABLE log ERROR_VARIABLE log)
if(NOT result EQUAL 0 OR NOT EXISTS "${STAGE}/velmora-manual.chm")
  message(FATAL_ERROR "chmcmd failed:\n${log}")
endif()
file(COPY_FILE "${STAGE}/velmora-manual.chm" "${OUTPUT}")
