# A hook library is mapped into other programs' processes, so it carries no
# runtime: no CRT, no exceptions or RTTI, no static constructors, its own
# entry point, and imports from kernel32 and user32 only.
function(add_hook_library name)
  add_library(${name} SHARED ${name}.cpp ${name}.def)
  set_target_properties(${name} PROPERTIES PREFIX "")   # barshell.dll, not libbarshell.dll
  target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE
    -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables -fno-threadsafe-statics)
  target_link_options(${name} PRIVATE -nostdlib -Wl,--entry,_DllMain@12 -Wl,--subsystem,windows ${WIN4_LINK_FLAGS})
  target_link_libraries(${name} PRIVATE kernel32 user32)
endfunction()
