# Helpers for the Windows DLLs and programs of the cross builds.

set(KVL_CHECK_PE_FILE ${CMAKE_CURRENT_LIST_DIR}/CheckPeFile.cmake)

# Exports the DLL's entry points under the plain names of its .def file. On
# 32-bit Windows a __stdcall function's symbol carries its argument size
# (Name@8); the linker's stdcall fixup binds each plain name of the .def file to
# that symbol, and the .def file keeps every other symbol out of the table.
function(kvl_plain_exports target def_file)
    target_sources(${target} PRIVATE ${def_file})
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        target_link_options(${target} PRIVATE "LINKER:--enable-stdcall-fixup")
    endif()
    set_target_properties(${target} PROPERTIES PREFIX "")
endfunction()

# A test that the DLL exports exactly the names given, undecorated.
function(kvl_test_exports target)
    list(JOIN ARGN "," names)
    add_test(NAME ${target}_exports
             COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP} -DPE_FILE=$<TARGET_FILE:${target}>
                     -DEXPORTS=${names} -P ${KVL_CHECK_PE_FILE})
endfunction()

# A test that each binary runs without the compiler's runtime DLLs.
function(kvl_test_static_runtime)
    foreach(target IN LISTS ARGN)
        add_test(NAME ${target}_static_runtime
                 COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP}
                         -DPE_FILE=$<TARGET_FILE:${target}> -DSTATIC_RUNTIME=ON
                         -P ${KVL_CHECK_PE_FILE})
    endforeach()
endfunction()
