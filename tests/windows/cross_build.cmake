# Cross-builds textresgen.exe from SOURCE_DIR with MinGW-w64 into
# BINARY_DIR/bin, in a build tree of its own (BINARY_DIR). Prints
# "SKIPPED: ..." where MinGW-w64 is not installed.
if(NOT MINGW_CXX)
  message("SKIPPED: MinGW-w64 is not installed (Debian package g++-mingw-w64-x86-64-posix)")
  return()
endif()

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    string(REPLACE ";" " " command "${ARGN}")
    message(FATAL_ERROR "${command}\nfailed with ${status}")
  endif()
endfunction()

run("${CMAKE_COMMAND}" -S "${SOURCE_DIR}" -B "${BINARY_DIR}"
  -G "${GENERATOR}"
  "-DCMAKE_MAKE_PROGRAM=${MAKE_PROGRAM}"
  "--toolchain=${SOURCE_DIR}/cmake/mingw-w64-x86_64.cmake"
  -DCMAKE_BUILD_TYPE=Release
  "-DCMAKE_RUNTIME_OUTPUT_DIRECTORY=${BINARY_DIR}/bin"
  "-DCMAKE_RUNTIME_OUTPUT_DIRECTORY_RELEASE=${BINARY_DIR}/bin"
  -DBUILD_TESTING=OFF)
run("${CMAKE_COMMAND}" --build "${BINARY_DIR}" --config Release --target textresgen --parallel 2)
