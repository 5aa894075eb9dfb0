# Build conventions shared by every folder.

find_program(CCACHE_PROGRAM ccache)
if(CCACHE_PROGRAM)
  set(CMAKE_C_COMPILER_LAUNCHER ${CCACHE_PROGRAM})
  set(CMAKE_CXX_COMPILER_LAUNCHER ${CCACHE_PROGRAM})
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
