# Cross-build for Windows with mingw-w64 (i686).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(MINGW_PREFIX i686-w64-mingw32)

foreach(tool g++ gcc windres objcopy)
  find_program(MINGW_${tool}_PATH NAMES ${MINGW_PREFIX}-${tool}-win32 ${MINGW_PREFIX}-${tool})
  if(NOT MINGW_${tool}_PATH)
    message(FATAL_ERROR "${MINGW_PREFIX}-${tool} not found: install Debian's mingw-w64 packages "
                        "(scripts/setup.sh does).")
  endif()
endforeach()

set(CMAKE_C_COMPILER ${MINGW_gcc_PATH})
set(CMAKE_CXX_COMPILER ${MINGW_g++_PATH})
set(CMAKE_RC_COMPILER ${MINGW_windres_PATH})
set(CMAKE_OBJCOPY ${MINGW_objcopy_PATH} CACHE FILEPATH "" FORCE)
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
