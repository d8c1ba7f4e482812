# Build conventions shared by every folder.
#
# build/bin is a complete program folder: programs, shared libraries and
# data files side by side, found from each other through $ORIGIN, so the
# folder can be moved or copied as it stands. Test and benchmark programs go
# to build/test-bin and find the libraries in ../bin.

set(KINOLUX_BIN_DIR ${CMAKE_BINARY_DIR}/bin)
set(KINOLUX_TEST_BIN_DIR ${CMAKE_BINARY_DIR}/test-bin)
set(KINOLUX_CORPUS_DIR ${CMAKE_SOURCE_DIR}/../shared/corpus)

set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${KINOLUX_BIN_DIR})
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${KINOLUX_BIN_DIR})
set(CMAKE_ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib)
set(CMAKE_BUILD_WITH_INSTALL_RPATH ON)
set(CMAKE_INSTALL_RPATH "\$ORIGIN;\$ORIGIN/../bin")

add_compile_options(-Wall -Wextra)
if(KINOLUX_WERROR)
  add_compile_options(-Werror)
endif()

if(KINOLUX_SANITIZE OR KINOLUX_FUZZ)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
if(KINOLUX_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "KINOLUX_FUZZ needs clang (CC=clang CXX=clang++)")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

find_package(PkgConfig REQUIRED)

# kinolux_add_library(NAME [SHARED|OBJECT] [PIC] SOURCES a.cpp b.cpp [LIBS lib...] [PRIVATE_LIBS lib...])
# A library of the tree, static unless SHARED (or a set of objects joined to
# another library: OBJECT). PIC is for the parts of a shared module. Its
# users include its headers from the source root ("capture/posix_file.h");
# LIBS are part of what it offers them, PRIVATE_LIBS only its own.
function(kinolux_add_library name)
  cmake_parse_arguments(L "SHARED;OBJECT;PIC" "" "SOURCES;LIBS;PRIVATE_LIBS" ${ARGN})
  if(L_SHARED)
    add_library(${name} SHARED ${L_SOURCES})
  elseif(L_OBJECT)
    add_library(${name} OBJECT ${L_SOURCES})
  else()
    add_library(${name} STATIC ${L_SOURCES})
  endif()
  if(L_PIC)
    set_target_properties(${name} PROPERTIES POSITION_INDEPENDENT_CODE ON)
  endif()
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${L_LIBS} PRIVATE ${L_PRIVATE_LIBS})
endfunction()

# kinolux_add_test(NAME SOURCES a.cpp b.cpp LIBS lib1 lib2 [LABELS l] [DEPENDS target...])
# A GoogleTest program run through CTest; DEPENDS names the programs and
# files it runs or reads, built before it. Tests run on Qt's offscreen
# platform, find the program folder through KINOLUX_BIN_DIR and the shared
# regression corpus through KINOLUX_CORPUS_DIR (skipping when it is absent).
function(kinolux_add_test name)
  if(KINOLUX_FUZZ OR NOT KINOLUX_TESTS)
    return()
  endif()
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;LABELS;DEPENDS" ${ARGN})
  find_package(GTest REQUIRED)
  include(GoogleTest)
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gmock GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    KINOLUX_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    KINOLUX_BIN_DIR="${KINOLUX_BIN_DIR}"
    KINOLUX_CORPUS_DIR="${KINOLUX_CORPUS_DIR}")
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KINOLUX_TEST_BIN_DIR})
  if(T_DEPENDS)
    add_dependencies(${name} ${T_DEPENDS})
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  # Test discovery in CMake 3.25 splits an ENVIRONMENT of several variables
  # into separate properties, so the tests are started through env instead.
  set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR
    "env;QT_QPA_PLATFORM=offscreen;KINOLUX_BIN_DIR=${KINOLUX_BIN_DIR};KINOLUX_CORPUS_DIR=${KINOLUX_CORPUS_DIR}")
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES
      TIMEOUT ${T_TIMEOUT}
      LABELS "${T_LABELS}")
endfunction()

# kinolux_add_fuzzer(NAME SOURCES a.cpp LIBS lib1)
# A libFuzzer target, built only when KINOLUX_FUZZ is on. scripts/fuzz runs them.
function(kinolux_add_fuzzer name)
  if(NOT KINOLUX_FUZZ)
    return()
  endif()
  cmake_parse_arguments(F "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${F_SOURCES})
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz-bin)
endfunction()

# kinolux_add_bench(NAME SOURCES a.cpp LIBS lib1)
# A Google Benchmark program; benchmarks are run by scripts/bench, never by CTest.
function(kinolux_add_bench name)
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  find_package(benchmark REQUIRED)
  add_executable(${name} ${B_SOURCES})
  target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark)
  target_compile_definitions(${name} PRIVATE
    KINOLUX_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    KINOLUX_BIN_DIR="${KINOLUX_BIN_DIR}"
    KINOLUX_CORPUS_DIR="${KINOLUX_CORPUS_DIR}")
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench-bin)
endfunction()

# kinolux_add_entry_library(NAME ENTRIES source... CORE core_target)
# A shared library that exports its C entries and nothing else, built over
# a static core that the tests and fuzzers link directly: neither the
# core's symbols nor those of the libraries it pulls in leave it.
function(kinolux_add_entry_library name)
  cmake_parse_arguments(ARG "" "CORE" "ENTRIES" ${ARGN})
  kinolux_add_library(${name} SHARED SOURCES ${ARG_ENTRIES} PRIVATE_LIBS ${ARG_CORE})
  foreach(target ${ARG_CORE} ${name})
    set_target_properties(${target} PROPERTIES CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
  endforeach()
  target_link_options(${name} PRIVATE -Wl,--exclude-libs,ALL -Wl,--no-undefined)
endfunction()

# kinolux_copy_to_program_folder(TARGET_NAME SOURCE_DIR DEST_SUBDIR)
# Keeps a data folder of the source tree (ini/, language/...) mirrored into
# the program folder on every build.
function(kinolux_copy_to_program_folder target src dest)
  file(GLOB_RECURSE files CONFIGURE_DEPENDS ${src}/*)
  add_custom_target(${target} ALL
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${src} ${KINOLUX_BIN_DIR}/${dest}
    DEPENDS ${files}
    COMMENT "Copying ${dest} into the program folder")
endfunction()

# kinolux_add_subfolders(): adds every direct subfolder that has a
# CMakeLists.txt, in name order (tests/, bench/ and tools/ grow this way).
function(kinolux_add_subfolders)
  file(GLOB subs LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT subs)
  foreach(sub ${subs})
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${sub}/CMakeLists.txt)
      add_subdirectory(${sub})
    endif()
  endforeach()
endfunction()
