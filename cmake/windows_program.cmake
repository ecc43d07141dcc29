# The shipped uninstall.exe: a GUI program for Windows 4.0 and later that links no run-time
# library at all, only the four system DLLs.
enable_language(RC)

# No default system libraries: the program names the four DLLs it imports itself.
set(CMAKE_CXX_STANDARD_LIBRARIES "")

add_executable(uninstall
  ${PROGRAM_SOURCES}
  src/app/program_start.cpp
  src/app/compiler_support.cpp
  src/app/app_resources.rc
)
set_target_properties(uninstall PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
target_include_directories(uninstall PRIVATE src)
target_compile_options(uninstall PRIVATE
  $<$<COMPILE_LANGUAGE:CXX>:
    -Os -Wall -Wextra -Werror -Wframe-larger-than=3500
    -fno-exceptions -fno-rtti -fno-threadsafe-statics -fno-stack-protector
    -fno-asynchronous-unwind-tables -fno-unwind-tables -fno-ident
    -ffunction-sections -fdata-sections -fno-tree-loop-distribute-patterns -mno-stack-arg-probe>
)
target_link_options(uninstall PRIVATE
  -nostdlib -nostartfiles -s
  -Wl,--subsystem,windows:4.0
  -Wl,--major-os-version,4 -Wl,--minor-os-version,0
  -Wl,--gc-sections
  -Wl,--disable-dynamicbase -Wl,--disable-nxcompat -Wl,--disable-reloc-section
  -Wl,-T,${CMAKE_SOURCE_DIR}/cmake/uninstall.ld
)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  target_link_options(uninstall PRIVATE -Wl,--disable-high-entropy-va)
else()
  # The 32-bit Windows ABI keeps the stack 4-byte aligned; asking for 16 only adds code. Nothing
  # unwinds this program's stack (no exceptions, no handlers), so it needs no frame pointers:
  # 256 bytes less code, one 512-byte block of the file.
  target_compile_options(uninstall PRIVATE
    $<$<COMPILE_LANGUAGE:CXX>:-mpreferred-stack-boundary=2 -fomit-frame-pointer>)
endif()
set_target_properties(uninstall PROPERTIES LINK_DEPENDS ${CMAKE_SOURCE_DIR}/cmake/uninstall.ld)
target_link_libraries(uninstall PRIVATE kernel32 user32 advapi32 shell32)

# The linker marks the merged section as data only; it holds the code too.
add_custom_command(TARGET uninstall POST_BUILD
  COMMAND ${CMAKE_OBJCOPY} --set-section-flags .idata=contents,alloc,load,code
          $<TARGET_FILE:uninstall>
  VERBATIM)

option(BUILD_TEST_TOOLS "Build the Windows-side helpers of the end-to-end tests" OFF)
if(BUILD_TEST_TOOLS)
  add_subdirectory(tests/wine/tools)
endif()
