# Shared compile settings and the one-library-per-folder convention.

add_library(oe_warnings INTERFACE)
target_compile_options(oe_warnings INTERFACE -Wall -Wextra)
if(OE_SANITIZE)
  target_compile_options(oe_warnings INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(oe_warnings INTERFACE -fsanitize=address,undefined)
endif()

# oe_folder_library(<name> [DEPS <targets>...] [SYSTEM <libs>...] [EXCLUDE <files>...])
# Builds every .cc file of the calling folder (but the excluded ones, such as
# an executable's main) into one static library whose include root is src/,
# so code includes "windlib/file/file.h" and the like.
function(oe_folder_library name)
  cmake_parse_arguments(ARG "" "" "DEPS;SYSTEM;EXCLUDE" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cc)
  foreach(excluded ${ARG_EXCLUDE})
    list(REMOVE_ITEM sources ${CMAKE_CURRENT_SOURCE_DIR}/${excluded})
  endforeach()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC oe_warnings ${ARG_DEPS} ${ARG_SYSTEM})
endfunction()

# oe_folder_tests(<name> DEPS <targets>...)
# One GoogleTest executable from every .cc file of the calling test folder;
# each test case is registered with CTest.
function(oe_folder_tests name)
  cmake_parse_arguments(ARG "" "" "DEPS;LABELS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cc)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PRIVATE oe_warnings ${ARG_DEPS} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    OE_SOURCE_DIR="${PROJECT_SOURCE_DIR}" OE_BINARY_DIR="${CMAKE_BINARY_DIR}")
  if(NOT ARG_LABELS)
    set(ARG_LABELS unit)
  endif()
  oe_program_defaults(${name})
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS "${ARG_LABELS}")
endfunction()

# oe_program_defaults(<target>): what every program of the project links,
# whatever its folder: in the sanitizer configuration, the sanitizers'
# defaults.
if(OE_SANITIZE)
  add_library(oe_sanitizer_defaults OBJECT ${CMAKE_CURRENT_LIST_DIR}/sanitizer_defaults.cc)
endif()
function(oe_program_defaults target)
  if(OE_SANITIZE)
    target_link_libraries(${target} PRIVATE oe_sanitizer_defaults)
  endif()
endfunction()

# Source paths in assertion messages are relative to the project root.
target_compile_options(oe_warnings INTERFACE -ffile-prefix-map=${PROJECT_SOURCE_DIR}/=)
