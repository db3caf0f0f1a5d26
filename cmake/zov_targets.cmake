# How the build declares its targets: one function per kind of target.
#
#   zov_library(<target> [FOLDER <folder>] SOURCES <file>... [LINKS <target>...])
#   zov_program(<target> [FOLDER <folder>] SOURCES <file>... LINKS <target>...)
#   zov_add_test(<target> LIBS <target>... SOURCES <file>...)   (a gtest binary)
#
# Includes are spelt from the repository root ("format/mask.h"), yet no
# target has the root on its include path. Each folder gets a directory of
# its own in the build tree that holds nothing but a link named after the
# folder:
#
#   <build>/layers/format/format -> <source>/format
#
# A library publishes that directory, so a target sees the headers of its
# own folder and of the libraries it links, directly or through them, and no
# others: an include that goes up a layer finds no file and fails to
# compile. Which layer may link which is the order of ZOV_LAYERS (lowest
# first); zov_check_layers() refuses a link from a layer to a later one.
#
# FOLDER is the folder whose headers the target's sources live among,
# relative to the source root; it defaults to the folder of the
# CMakeLists.txt that declares the target. Its first component is the layer.

set(ZOV_LAYER_INCLUDE_ROOT ${CMAKE_BINARY_DIR}/layers)

# Stages <build>/layers/<name>/<folder> -> <source>/<folder> and sets
# `out_var` to the directory to put on the include path.
function(zov_stage_folder folder out_var)
  string(REPLACE "/" "_" name "${folder}")
  set(dir ${ZOV_LAYER_INCLUDE_ROOT}/${name})
  get_filename_component(parent ${dir}/${folder} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder} ${dir}/${folder} SYMBOLIC)
  set(${out_var} ${dir} PARENT_SCOPE)
endfunction()

# Gives a target just added its folder's include directory, its links (with
# `scope`: PUBLIC for a library, PRIVATE for a program) and its layer.
# `folder` empty: the folder of the calling CMakeLists.txt.
function(zov_place target scope folder)
  if(NOT folder)
    file(RELATIVE_PATH folder ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  endif()
  string(REGEX REPLACE "/.*" "" layer "${folder}")
  if(NOT layer IN_LIST ZOV_LAYERS)
    message(FATAL_ERROR "${target}: folder ${folder} is in no layer of ZOV_LAYERS (${ZOV_LAYERS})")
  endif()
  zov_stage_folder(${folder} include_dir)
  target_include_directories(${target} ${scope} ${include_dir})
  target_link_libraries(${target} ${scope} ${ARGN})
  set_target_properties(${target} PROPERTIES ZOV_LAYER ${layer})
  set_property(GLOBAL APPEND PROPERTY ZOV_LAYERED_TARGETS ${target})
endfunction()

function(zov_library target)
  cmake_parse_arguments(A "" "FOLDER" "SOURCES;LINKS" ${ARGN})
  add_library(${target} STATIC ${A_SOURCES})
  zov_place(${target} PUBLIC "${A_FOLDER}" ${A_LINKS})
endfunction()

# A program of the suite, written to <build>/bin.
function(zov_program target)
  cmake_parse_arguments(A "" "FOLDER" "SOURCES;LINKS" ${ARGN})
  add_executable(${target} ${A_SOURCES})
  zov_place(${target} PRIVATE "${A_FOLDER}" ${A_LINKS})
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
endfunction()

# Fails the configuration when a target links a library of a later layer.
function(zov_check_layers)
  get_property(targets GLOBAL PROPERTY ZOV_LAYERED_TARGETS)
  foreach(target ${targets})
    get_target_property(layer ${target} ZOV_LAYER)
    list(FIND ZOV_LAYERS ${layer} rank)
    get_target_property(links ${target} LINK_LIBRARIES)
    foreach(linked ${links})
      if(NOT TARGET ${linked})
        continue()
      endif()
      get_target_property(linked_layer ${linked} ZOV_LAYER)
      if(NOT linked_layer)
        continue()
      endif()
      list(FIND ZOV_LAYERS ${linked_layer} linked_rank)
      if(linked_rank GREATER rank)
        message(FATAL_ERROR "${target} (layer ${layer}) links ${linked} of layer ${linked_layer}, which lies above it")
      endif()
    endforeach()
  endforeach()
endfunction()

# One test executable per layer (or tool); registers its cases with ctest.
# Besides what its libraries bring, a test sees tests/ for the shared
# harnesses ("tests/register/builders.h").
function(zov_add_test name)
  cmake_parse_arguments(T "" "" "LIBS;SOURCES" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  zov_test_includes(${name})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  if(WIN32)
    zov_add_wine_test(${name})  # cmake/windows.cmake
  else()
    gtest_discover_tests(${name}
      WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
      PROPERTIES ENVIRONMENT "ZOV_TEST_BIN=${CMAKE_BINARY_DIR}"
      DISCOVERY_TIMEOUT 60)
  endif()
endfunction()

# For a test helper that is not a gtest binary (the engine's worker process):
# the tests/ folder on its include path.
function(zov_test_includes target)
  zov_stage_folder(tests include_dir)
  target_include_directories(${target} PRIVATE ${include_dir})
endfunction()
