# Links `target` to the system library `name` (comdlg32, shell32, ...) so that the library is loaded at the
# program's first call into it rather than as the program starts. cmake/delay_loaded/<name>.def lists the
# functions the program calls; a call to any other fails to link.
function(korvane_delay_load target name)
  if(MINGW)
    find_program(KORVANE_DLLTOOL NAMES x86_64-w64-mingw32-dlltool dlltool REQUIRED)
    set(definitions ${PROJECT_SOURCE_DIR}/cmake/delay_loaded/${name}.def)
    set(folder ${CMAKE_BINARY_DIR}/delay_loaded)
    set(library ${folder}/lib${name}_delayed.a)
    # dlltool makes no folder, and not every generator makes the output's folder of a custom command (Ninja
    # does, Make does not): the command makes it itself.
    add_custom_command(OUTPUT ${library}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
        COMMAND ${KORVANE_DLLTOOL} --input-def ${definitions} --dllname ${name}.dll --output-delaylib ${library}
        DEPENDS ${definitions})
    add_custom_target(${name}_delayed DEPENDS ${library})
    add_dependencies(${target} ${name}_delayed)
    target_link_libraries(${target} PUBLIC ${library})
  else()
    target_link_libraries(${target} PUBLIC ${name} delayimp)
    target_link_options(${target} INTERFACE /DELAYLOAD:${name}.dll)
  endif()
endfunction()
