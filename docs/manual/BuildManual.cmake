# Sets the user manual: soelim | preconv | groff -t -ms -Tpdf.
# Run as a script: cmake -DSOELIM=... -DPRECONV=... -DGROFF=... -DSOURCE_DIR=...
#   -DOUTPUT=... -DVERSION=... -DWERROR=ON|OFF -P BuildManual.cmake
# The PDF is written beside its final name and renamed only after a clean run,
# so a failed run never leaves a half-written manual that looks complete.

foreach(variable SOELIM PRECONV GROFF SOURCE_DIR OUTPUT VERSION)
    if(NOT DEFINED ${variable})
        message(FATAL_ERROR "BuildManual.cmake: ${variable} is not set")
    endif()
endforeach()

set(partial "${OUTPUT}.part")
execute_process(
    COMMAND ${SOELIM} manuale.ms
    COMMAND ${PRECONV} -e utf-8
    COMMAND ${GROFF} -t -ms -ww -Tpdf -dpaper=a4 -P-pa4 -dkvl-version=${VERSION}
    WORKING_DIRECTORY ${SOURCE_DIR}
    OUTPUT_FILE ${partial}
    ERROR_VARIABLE diagnostics
    RESULTS_VARIABLE results)

foreach(result IN LISTS results)
    if(NOT result EQUAL 0)
        file(REMOVE ${partial})
        message(FATAL_ERROR "The manual could not be set (exit statuses ${results}):\n${diagnostics}")
    endif()
endforeach()
if(NOT diagnostics STREQUAL "")
    if(WERROR)
        file(REMOVE ${partial})
        message(FATAL_ERROR "groff warned while setting the manual:\n${diagnostics}")
    endif()
    message(WARNING "groff warned while setting the manual:\n${diagnostics}")
endif()
file(RENAME ${partial} ${OUTPUT})
