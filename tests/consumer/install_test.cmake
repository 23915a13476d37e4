# Installs the build BUILD_DIR into a fresh prefix, configures the example
# consumer CONSUMER_DIR against it (find_package through CMAKE_PREFIX_PATH),
# builds it and runs its demo. Everything happens below WORK_DIR.
set(prefix "${WORK_DIR}/prefix")
set(consumer_build "${WORK_DIR}/consumer")
file(REMOVE_RECURSE "${WORK_DIR}")

function(run)
  execute_process(COMMAND ${ARGN}
    RESULT_VARIABLE status
    OUTPUT_VARIABLE out
    ERROR_VARIABLE out)
  if(NOT status EQUAL 0)
    string(REPLACE ";" " " command "${ARGN}")
    message(FATAL_ERROR "${command}\nfailed with ${status}:\n${out}")
  endif()
endfunction()

set(config_args "")
if(CONFIG)
  set(config_args --config "${CONFIG}")
endif()
run("${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${prefix}" ${config_args})

run("${CMAKE_COMMAND}" -S "${CONSUMER_DIR}" -B "${consumer_build}"
  -G "${GENERATOR}"
  "-DCMAKE_MAKE_PROGRAM=${MAKE_PROGRAM}"
  "-DCMAKE_CXX_COMPILER=${CXX}"
  "-DCMAKE_BUILD_TYPE=${CONFIG}"
  "-DCMAKE_PREFIX_PATH=${prefix}"
  -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF)
# The package must have come from the prefix, not from the build tree.
file(STRINGS "${consumer_build}/CMakeCache.txt" package_dir REGEX "^textresgen_DIR:")
string(REGEX REPLACE "^[^=]*=" "" package_dir "${package_dir}")
cmake_path(IS_PREFIX prefix "${package_dir}" NORMALIZE from_prefix)
if(NOT from_prefix)
  message(FATAL_ERROR "textresgen was found in ${package_dir}, not below ${prefix}")
endif()

run("${CMAKE_COMMAND}" --build "${consumer_build}" ${config_args})

set(DEMO "${consumer_build}/demo${EXE_SUFFIX}")
if(NOT EXISTS "${DEMO}")
  set(DEMO "${consumer_build}/${CONFIG}/demo${EXE_SUFFIX}")
endif()
include("${CMAKE_CURRENT_LIST_DIR}/check_demo.cmake")
