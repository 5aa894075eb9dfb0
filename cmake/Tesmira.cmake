# Build conventions shared by every folder.

find_program(CCACHE_PROGRAM ccache)
if(CCACHE_PROGRAM)
  # Paths are hashed relative to the project, so a clone at another path (or another worktree) shares the cache.
  set(TESMIRA_CCACHE_LAUNCHER ${CMAKE_COMMAND} -E env CCACHE_BASEDIR=${PROJECT_SOURCE_DIR} CCACHE_NOHASHDIR=1
    ${CCACHE_PROGRAM})
  set(CMAKE_C_COMPILER_LAUNCHER ${TESMIRA_CCACHE_LAUNCHER})
  set(CMAKE_CXX_COMPILER_LAUNCHER ${TESMIRA_CCACHE_LAUNCHER})
endif()

# Narrow literals are code page 1251 in the binary, as the program's strings are.
add_compile_options(
  -Wall -Wextra -Werror
  $<$<COMPILE_LANGUAGE:CXX>:-fexec-charset=CP1251>
  # g++ 12 reports false -Wrestrict overlaps inside std::string at -O2 and above.
  $<$<CONFIG:Release,RelWithDebInfo>:-Wno-restrict>
)

if(TESMIRA_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
  # Line tables are all the sanitizers' reports need: full debug information took a quarter of every compile and
  # made the objects the links read a fifth bigger.
  string(REGEX REPLACE "(^| )-g( |$)" "\\1-g1\\2" CMAKE_C_FLAGS_DEBUG "${CMAKE_C_FLAGS_DEBUG}")
  string(REGEX REPLACE "(^| )-g( |$)" "\\1-g1\\2" CMAKE_CXX_FLAGS_DEBUG "${CMAKE_CXX_FLAGS_DEBUG}")
  # Every test case is a process of its own: a position-independent program spent half its start relocating the
  # sanitizers' million pointers to its globals.
  add_link_options($<$<STREQUAL:$<TARGET_PROPERTY:TYPE>,EXECUTABLE>:-no-pie>)
endif()

# ThreadSanitizer cannot share a build with AddressSanitizer: it has its own build folder (make tsan).
option(TESMIRA_TSAN "Build with ThreadSanitizer" OFF)
if(TESMIRA_TSAN)
  if(TESMIRA_SANITIZE)
    message(FATAL_ERROR "TESMIRA_TSAN and TESMIRA_SANITIZE exclude each other")
  endif()
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

# tesmira_library(<target> [DEPS <targets...>] [PUBLIC_DEPS <targets...>] [SOURCES <files...>])
# One library per folder; without SOURCES every .cpp of the folder (recursively) is taken.
function(tesmira_library target)
  cmake_parse_arguments(ARG "" "" "DEPS;PUBLIC_DEPS;SOURCES" ${ARGN})
  if(ARG_SOURCES)
    set(sources ${ARG_SOURCES})
  else()
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  endif()
  if(NOT sources)
    # A folder whose code is still headers only: an interface library keeps its dependents linking.
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} INTERFACE ${ARG_PUBLIC_DEPS} ${ARG_DEPS})
    return()
  endif()
  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${target} PUBLIC ${ARG_PUBLIC_DEPS} PRIVATE ${ARG_DEPS})
endfunction()

# tesmira_tests(<target> DEPS <targets...> [SOURCES <files...>])
# One test executable per source folder; ctest sees every test case on its own so they run in parallel.
function(tesmira_tests target)
  cmake_parse_arguments(ARG "" "" "DEPS;SOURCES" ${ARGN})
  if(ARG_SOURCES)
    set(sources ${ARG_SOURCES})
  else()
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  endif()
  if(NOT sources)
    return()
  endif()
  add_executable(${target} ${sources})
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${target} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${target} PRIVATE
    TESMIRA_ARTIFACTS_DIR="${TESMIRA_ARTIFACTS_DIR}"
    TESMIRA_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    TESMIRA_SHARED_DIR="${PROJECT_SOURCE_DIR}/../shared")
  gtest_discover_tests(${target}
    DISCOVERY_MODE PRE_TEST
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    PROPERTIES ENVIRONMENT "TESMIRA_TEST=1")
endfunction()

# Fuzzers of the readers of untrusted input: libFuzzer needs clang's instrumentation and the program's build uses
# g++, so each folder's fuzzers are a small project of its own (project/CMakeLists.txt beside the caller) built by
# clang. tesmira_fuzz_project(<build target>) makes it, or nothing when clang or its libFuzzer runtime is missing;
# tesmira_fuzz_test(<test> BINARY <name> CORPUS <folder> SECONDS <n> [FOUND <folder>] [DICT <file>]) runs one
# fuzzer for a bounded time over its corpus, new inputs going to a folder of the build tree (the corpus beside the
# sources is only read), and is skipped where the project could not be made.
function(tesmira_fuzz_project build_target)
  find_program(TESMIRA_CLANGXX NAMES clang++)
  set(TESMIRA_FUZZ_DIR "" PARENT_SCOPE)
  if(NOT TESMIRA_CLANGXX)
    return()
  endif()
  execute_process(COMMAND ${TESMIRA_CLANGXX} -print-resource-dir
    OUTPUT_VARIABLE clang_resource_dir OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(NOT clang_resource_dir
     OR NOT EXISTS ${clang_resource_dir}/lib/linux/libclang_rt.fuzzer-${CMAKE_SYSTEM_PROCESSOR}.a)
    return()
  endif()
  include(ExternalProject)
  set(launcher "")
  if(CCACHE_PROGRAM)
    string(REPLACE ";" "|" ccache_launcher "${TESMIRA_CCACHE_LAUNCHER}")
    set(launcher -DCMAKE_CXX_COMPILER_LAUNCHER=${ccache_launcher})
  endif()
  # Most fuzzers compile the same framework libraries: their projects sit at one depth of the build tree, and are
  # built one after the other, so that every compile after the first is found in ccache, even when it started empty.
  set(binary_dir ${CMAKE_BINARY_DIR}/fuzz/${build_target})
  ExternalProject_Add(${build_target}
    SOURCE_DIR ${CMAKE_CURRENT_SOURCE_DIR}/project
    BINARY_DIR ${binary_dir}
    LIST_SEPARATOR |
    CMAKE_GENERATOR Ninja
    CMAKE_ARGS -DCMAKE_CXX_COMPILER=${TESMIRA_CLANGXX} -DCMAKE_BUILD_TYPE=Debug
               -DTESMIRA_ROOT=${PROJECT_SOURCE_DIR} ${launcher}
    BUILD_ALWAYS TRUE
    INSTALL_COMMAND "")
  get_property(previous GLOBAL PROPERTY TESMIRA_LAST_FUZZ_PROJECT)
  if(previous)
    add_dependencies(${build_target} ${previous})
  endif()
  set_property(GLOBAL PROPERTY TESMIRA_LAST_FUZZ_PROJECT ${build_target})
  set(TESMIRA_FUZZ_DIR ${binary_dir} PARENT_SCOPE)
endfunction()

function(tesmira_fuzz_test test_name)
  cmake_parse_arguments(F "" "BINARY;CORPUS;SECONDS;FOUND;DICT" "" ${ARGN})
  if(NOT TESMIRA_FUZZ_DIR)
    add_test(NAME ${test_name}
      COMMAND sh -c "echo 'clang with its libFuzzer runtime is not installed: not fuzzed'; exit 77")
    set_tests_properties(${test_name} PROPERTIES SKIP_RETURN_CODE 77)
    return()
  endif()
  if(NOT F_FOUND)
    set(F_FOUND found)
  endif()
  set(dict "")
  if(F_DICT)
    set(dict "-dict=${F_DICT} ")
  endif()
  add_test(NAME ${test_name}
    COMMAND sh -c "mkdir -p ${F_FOUND} && exec \"$0\" -max_total_time=${F_SECONDS} -timeout=10 -rss_limit_mb=2048 \
${dict}-artifact_prefix=${CMAKE_CURRENT_BINARY_DIR}/ ${F_FOUND} \"$1\""
            ${TESMIRA_FUZZ_DIR}/${F_BINARY} ${F_CORPUS}
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  set_tests_properties(${test_name} PROPERTIES TIMEOUT 180)
endfunction()
