# Import libraries for the system DLLs that are not among Windows' known DLLs (opengl32, msimg32, winmm,
# comctl32). Windows looks for such a DLL in the program's own folder first, and a portable copy may stand
# in a Downloads folder beside a planted file of that name. These libraries load the DLL at its first call
# instead, through the programs' load hook (common/system_folder_dlls.c), from the system folder only.
# They stand under the build's own folder, searched before the toolchain's, under the same names.
set(LUMIVANE_LATE_DLLS opengl32 msimg32 winmm comctl32)
set(imports_dir ${CMAKE_BINARY_DIR}/system-folder-imports)
file(MAKE_DIRECTORY ${imports_dir})
foreach(dll ${LUMIVANE_LATE_DLLS})
  execute_process(COMMAND ${CMAKE_C_COMPILER} -print-file-name=lib${dll}.a OUTPUT_VARIABLE toolchain_lib
                  OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  set(LUMIVANE_TOOLCHAIN_${dll} ${toolchain_lib})  # the import at load, for the import check's own test
  set(late_lib ${imports_dir}/lib${dll}.a)
  if(NOT EXISTS ${late_lib} OR ${toolchain_lib} IS_NEWER_THAN ${late_lib})
    # Every function the toolchain's library imports, by the names its import pointers carry.
    execute_process(COMMAND ${CMAKE_NM} ${toolchain_lib} OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
    string(REGEX MATCHALL "I __imp__?[A-Za-z0-9_@]+" pointers "${symbols}")
    set(exports "")
    foreach(pointer ${pointers})
      string(REGEX REPLACE "^I __imp_" "" name "${pointer}")
      if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        string(REGEX REPLACE "^_" "" name "${name}")  # 32-bit symbols carry a leading underscore
      endif()
      string(APPEND exports "${name}\n")
    endforeach()
    file(WRITE ${imports_dir}/${dll}.def "LIBRARY ${dll}.dll\nEXPORTS\n${exports}")
    # --kill-at: the 32-bit names keep their argument bytes for the linker, and lose them in the DLL.
    execute_process(COMMAND ${CMAKE_DLLTOOL} --kill-at --input-def ${imports_dir}/${dll}.def --dllname ${dll}.dll
                            --output-delaylib ${late_lib} COMMAND_ERROR_IS_FATAL ANY)
  endif()
endforeach()
link_directories(BEFORE ${imports_dir})
