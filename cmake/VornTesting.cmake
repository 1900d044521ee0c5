# vorn_add_qtest(NAME SOURCES a.cpp ... LIBS lib ... [LABELS l ...] [TIMEOUT s])
# One Qt Test executable per unit, built into tests/ and registered with CTest.
# Tests labelled "display" get the X server (and every test the sound
# server) that scripts/test starts; "sound" marks those that play.
function(vorn_add_qtest name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE Qt5::Test ${T_LIBS})
  target_compile_definitions(${name} PRIVATE
    VORN_BIN_DIR="${CMAKE_BINARY_DIR}/bin"
    VORN_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  set_target_properties(${name} PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests
    AUTOMOC ON
    AUTORCC ON)
  add_test(NAME ${name} COMMAND ${name})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT})
  if(T_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
  endif()
  # Tests labelled "sound" play through the sound server and switch its
  # default sink to a null sink they record: one of them at a time, or each
  # hears the others.
  if("sound" IN_LIST T_LABELS)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK sound_server)
  endif()
  # Only tests labelled "display" need the X server; the others render off
  # screen so that they also run without one.
  if(NOT "display" IN_LIST T_LABELS)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  endif()
endfunction()

# vorn_add_fuzz_target(NAME SOURCES a.cpp ... LIBS lib ... SEEDS dir)
# The target source defines LLVMFuzzerTestOneInput. Always builds a replay
# program that runs every seed through it under CTest; with VORN_FUZZ and
# clang also a libFuzzer binary for real fuzzing runs.
function(vorn_add_fuzz_target name)
  cmake_parse_arguments(F "" "SEEDS" "SOURCES;LIBS" ${ARGN})
  add_executable(${name}_replay ${F_SOURCES} ${CMAKE_SOURCE_DIR}/fuzz/ReplayMain.cpp)
  target_link_libraries(${name}_replay PRIVATE ${F_LIBS})
  set_target_properties(${name}_replay PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
  add_test(NAME ${name}_seeds COMMAND ${name}_replay ${F_SEEDS})
  set_tests_properties(${name}_seeds PROPERTIES TIMEOUT 300 LABELS fuzz)
  if(VORN_FUZZ AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    add_executable(${name} ${F_SOURCES})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_libraries(${name} PRIVATE ${F_LIBS})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
  endif()
endfunction()

# vorn_add_benchmark(NAME SOURCES a.cpp ... [LIBS lib ...] [INCLUDES dir ...])
# Every benchmark is the program build/bench/bench_NAME; scripts/bench runs
# each of them without arguments and gathers the lines they print with
# printFigure (bench/BenchFigure.h) into one table.
function(vorn_add_benchmark name)
  cmake_parse_arguments(B "" "" "SOURCES;LIBS;INCLUDES" ${ARGN})
  add_executable(bench_${name} ${B_SOURCES})
  target_include_directories(bench_${name} PRIVATE ${CMAKE_SOURCE_DIR}/bench ${B_INCLUDES})
  target_link_libraries(bench_${name} PRIVATE ${B_LIBS})
  set_target_properties(bench_${name} PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench
    AUTOMOC ON)
endfunction()
