# Runs chmcmd on a project file in STAGE_DIR, where it also writes the .chm. chmcmd reports a
# link to a missing page or picture only as a warning and still exits with 0; a help file with
# dead links should not ship, so any warning or error fails the build here.
#   cmake -DCHMCMD=<chmcmd> -DSTAGE_DIR=<dir> -DPROJECT_FILE=<name.hhp> -P compile_chm.cmake
execute_process(COMMAND ${CHMCMD} --html-scan ${PROJECT_FILE} WORKING_DIRECTORY ${STAGE_DIR}
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
string(REGEX MATCHALL "(Warning|Error)[^\n]*" problems "${out}")
if(NOT result EQUAL 0 OR problems)
  message(FATAL_ERROR "chmcmd failed on ${PROJECT_FILE} (exit ${result}):\n${out}")
endif()
