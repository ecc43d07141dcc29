# Host build: the program's logic over the simulated Windows, with its unit tests and the tests
# that drive the Windows builds (binary check, end-to-end under Wine, fuzzing).
set(HOST_WARNINGS -Wall -Wextra -Werror)
set(HOST_SANITIZERS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)

file(GLOB SIMULATION_SOURCES CONFIGURE_DEPENDS tests/sim/*.cpp)
add_library(simulated_windows STATIC ${SIMULATION_SOURCES})
target_include_directories(simulated_windows PUBLIC src tests)
target_compile_options(simulated_windows PRIVATE ${HOST_WARNINGS})

add_library(program_logic STATIC ${PROGRAM_SOURCES})
target_include_directories(program_logic PUBLIC src)
target_compile_options(program_logic PRIVATE ${HOST_WARNINGS} -fno-exceptions -fno-rtti)
target_link_libraries(program_logic PUBLIC simulated_windows)

option(BUILD_FUZZER "Build the libFuzzer target (needs clang)" OFF)
if(BUILD_FUZZER)
  # Coverage guides the fuzzer through the program's own logic only; the simulation and the
  # harness keep the sanitizers but would only add noise (and time) as coverage.
  set(FUZZ_FLAGS -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all)
  set(HARNESS_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all)
  target_compile_options(simulated_windows PRIVATE ${HARNESS_FLAGS})
  target_compile_options(program_logic PRIVATE ${FUZZ_FLAGS})
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(UNICORN REQUIRED IMPORTED_TARGET unicorn)
  add_library(fuzz_support STATIC tests/fuzz/draw_world.cpp tests/emulator/pe_runner.cpp
    tests/differential/outcome.cpp)
  target_compile_options(fuzz_support PRIVATE ${HOST_WARNINGS} ${HARNESS_FLAGS})
  target_compile_definitions(fuzz_support PRIVATE
    SHIPPED_PROGRAM_DEFAULT="${CMAKE_SOURCE_DIR}/build/win32/uninstall.exe")
  target_link_libraries(fuzz_support PUBLIC program_logic PkgConfig::UNICORN)
  foreach(target fuzz_both_phases fuzz_shipped_program)
    add_executable(${target} tests/fuzz/${target}.cpp)
    target_compile_options(${target} PRIVATE ${HOST_WARNINGS} ${HARNESS_FLAGS})
    target_link_options(${target} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_libraries(${target} PRIVATE fuzz_support)
  endforeach()
  return()
endif()

target_compile_options(simulated_windows PRIVATE ${HOST_SANITIZERS})
target_compile_options(program_logic PRIVATE ${HOST_SANITIZERS})

find_package(GTest REQUIRED)
file(GLOB UNIT_TEST_SOURCES CONFIGURE_DEPENDS tests/unit/*.cpp)
add_executable(unit_tests ${UNIT_TEST_SOURCES})
target_compile_options(unit_tests PRIVATE ${HOST_WARNINGS} ${HOST_SANITIZERS})
target_link_options(unit_tests PRIVATE -fsanitize=address,undefined)
target_link_libraries(unit_tests PRIVATE program_logic GTest::gtest GTest::gtest_main)
include(GoogleTest)
gtest_discover_tests(unit_tests DISCOVERY_TIMEOUT 60)

# The shipped 32-bit program run on a CPU emulator against the same simulation, call for call
# beside the host build of the same sources.
find_package(PkgConfig REQUIRED)
pkg_check_modules(UNICORN REQUIRED IMPORTED_TARGET unicorn)
add_library(pe_runner STATIC tests/emulator/pe_runner.cpp)
target_compile_options(pe_runner PRIVATE ${HOST_WARNINGS} ${HOST_SANITIZERS})
target_link_libraries(pe_runner PUBLIC simulated_windows PkgConfig::UNICORN)

add_executable(differential_tests tests/differential/differential_test.cpp
  tests/differential/pe_runner_test.cpp
  tests/differential/outcome.cpp tests/unit/sample_world.cpp tests/unit/hostile_worlds.cpp)
target_include_directories(differential_tests PRIVATE tests/unit)
target_compile_definitions(differential_tests PRIVATE
  SHIPPED_PROGRAM_DEFAULT="${CMAKE_SOURCE_DIR}/build/win32/uninstall.exe")
target_compile_options(differential_tests PRIVATE ${HOST_WARNINGS} ${HOST_SANITIZERS})
target_link_options(differential_tests PRIVATE -fsanitize=address,undefined)
target_link_libraries(differential_tests PRIVATE program_logic pe_runner GTest::gtest GTest::gtest_main)
gtest_discover_tests(differential_tests DISCOVERY_TIMEOUT 60 PROPERTIES LABELS shipped)

# Tests of the other builds; the test script builds them all before running CTest. Run after a
# host build alone, each says which build it needs and is skipped.
set(WIN32_PROGRAM ${CMAKE_SOURCE_DIR}/build/win32/uninstall.exe)
set(WIN64_BUILD ${CMAKE_SOURCE_DIR}/build/win64)
set(NEEDS_BUILD bash ${CMAKE_SOURCE_DIR}/tests/needs_build.sh)

add_test(NAME binary_check_win32
  COMMAND ${NEEDS_BUILD} win32 ${WIN32_PROGRAM}
          python3 ${CMAKE_SOURCE_DIR}/tests/binary/check_binary.py ${WIN32_PROGRAM} i386)
add_test(NAME binary_check_win64
  COMMAND ${NEEDS_BUILD} win64 ${WIN64_BUILD}/uninstall.exe
          python3 ${CMAKE_SOURCE_DIR}/tests/binary/check_binary.py ${WIN64_BUILD}/uninstall.exe x86-64)
set_tests_properties(binary_check_win32 binary_check_win64 PROPERTIES SKIP_RETURN_CODE 77)

option(ENABLE_WINE_TESTS "Run the end-to-end tests under Wine" ON)
if(ENABLE_WINE_TESTS)
  set(WINE_ENV
    "WIN64_BUILD=${WIN64_BUILD}"
    "WINE_TEMPLATE=${CMAKE_BINARY_DIR}/wine-template"
    "WINE_WORK=${CMAKE_BINARY_DIR}/wine-work")
  set(WINE_NEEDS ${NEEDS_BUILD} win64 ${WIN64_BUILD}/tools/product_window.exe)
  add_test(NAME wine_template COMMAND ${WINE_NEEDS} bash ${CMAKE_SOURCE_DIR}/tests/wine/make_template.sh)
  set_tests_properties(wine_template PROPERTIES FIXTURES_SETUP wine ENVIRONMENT "${WINE_ENV}"
    SKIP_RETURN_CODE 77)
  file(GLOB WINE_CASES CONFIGURE_DEPENDS tests/wine/cases/*.sh)
  foreach(case ${WINE_CASES})
    get_filename_component(name ${case} NAME_WE)
    add_test(NAME wine_${name} COMMAND ${WINE_NEEDS} bash ${case})
    set_tests_properties(wine_${name} PROPERTIES
      FIXTURES_REQUIRED wine ENVIRONMENT "${WINE_ENV}" LABELS wine TIMEOUT 240 SKIP_RETURN_CODE 77)
  endforeach()
endif()

# The fuzz targets come from the "fuzz" preset (clang).
set(RUN_FUZZER bash ${CMAKE_SOURCE_DIR}/tests/fuzz/run_fuzzer.sh)
add_test(NAME fuzz_both_phases_short
  COMMAND ${NEEDS_BUILD} fuzz ${CMAKE_SOURCE_DIR}/build/fuzz/fuzz_both_phases
          ${RUN_FUZZER} ${CMAKE_SOURCE_DIR}/build/fuzz/fuzz_both_phases 30)
add_test(NAME fuzz_shipped_program_short
  COMMAND ${NEEDS_BUILD} fuzz ${CMAKE_SOURCE_DIR}/build/fuzz/fuzz_shipped_program
          ${NEEDS_BUILD} win32 ${WIN32_PROGRAM}
          ${RUN_FUZZER} ${CMAKE_SOURCE_DIR}/build/fuzz/fuzz_shipped_program 30)
# Each keeps both cores busy for its 30 s: run alone, so that the Wine cases' timeouts for a
# message box to show are not spent waiting for a core.
set_tests_properties(fuzz_both_phases_short fuzz_shipped_program_short PROPERTIES
  LABELS fuzz SKIP_RETURN_CODE 77 RUN_SERIAL TRUE)
