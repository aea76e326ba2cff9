# Reads a Windows binary's tables with objdump -p and checks them; run as
#
#   cmake -DOBJDUMP=<objdump> -DPE_FILE=<binary> -DEXPORTS=<a,b,...> -P CheckPeFile.cmake
#   cmake -DOBJDUMP=<objdump> -DPE_FILE=<binary> -DSTATIC_RUNTIME=ON -P CheckPeFile.cmake
#
# EXPORTS: the export table holds exactly these names, in any order.
# STATIC_RUNTIME: the binary imports none of the compiler's runtime DLLs, so it
# runs where they are not installed.

if(NOT OBJDUMP OR NOT PE_FILE)
    message(FATAL_ERROR "CheckPeFile: OBJDUMP and PE_FILE are required")
endif()
execute_process(COMMAND ${OBJDUMP} -p ${PE_FILE}
                OUTPUT_VARIABLE dump
                ERROR_VARIABLE errors
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "CheckPeFile: ${OBJDUMP} -p ${PE_FILE} failed (${status}): ${errors}")
endif()
string(REPLACE "\n" ";" lines "${dump}")

if(DEFINED EXPORTS)
    # The name pointer table lists one "[ordinal] name" line per exported name
    # and ends at the first blank line.
    set(actual)
    set(in_table FALSE)
    foreach(line IN LISTS lines)
        if(line MATCHES "\\[Ordinal/Name Pointer\\] Table")
            set(in_table TRUE)
        elseif(in_table AND line MATCHES "^[ \t]*\\[ *[0-9]+\\] (.+)$")
            list(APPEND actual "${CMAKE_MATCH_1}")
        elseif(in_table)
            set(in_table FALSE)
        endif()
    endforeach()
    string(REPLACE "," ";" expected "${EXPORTS}")
    list(SORT actual)
    list(SORT expected)
    if(NOT actual STREQUAL expected)
        set(missing ${expected})
        set(unexpected ${actual})
        if(actual)
            list(REMOVE_ITEM missing ${actual})
        endif()
        if(expected)
            list(REMOVE_ITEM unexpected ${expected})
        endif()
        list(JOIN missing " " missing)
        list(JOIN unexpected " " unexpected)
        message(FATAL_ERROR "${PE_FILE} exports the wrong names\n"
                            "  missing: ${missing}\n  unexpected: ${unexpected}")
    endif()
endif()

if(STATIC_RUNTIME)
    set(runtime_imports)
    foreach(line IN LISTS lines)
        if(line MATCHES "DLL Name: ((libgcc|libstdc\\+\\+|libwinpthread|libssp|libatomic)[^ ]*)")
            list(APPEND runtime_imports "${CMAKE_MATCH_1}")
        endif()
    endforeach()
    if(runtime_imports)
        list(JOIN runtime_imports " " runtime_imports)
        message(FATAL_ERROR "${PE_FILE} needs the runtime DLLs ${runtime_imports}")
    endif()
endif()
