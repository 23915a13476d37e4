# textresgen_add_module(<target> RESOURCE <file> [SHARED|MODULE|STATIC])
#
# Adds the library <target>, built from the string table <file> (a
# TextResource.txt under any name): textresgen runs on a copy of it in a
# folder of its own in the build tree, and the generated TextResource.cpp is
# compiled together with the d_func.cpp it includes. The generated
# TextResource.h is on the public include path of <target>.
#
# SHARED (the default) and MODULE give a dynamic library from which a
# program takes InitString with LoadLibrary/GetProcAddress or dlopen/dlsym;
# a STATIC library is linked into the program, which then declares
#   extern "C" void InitString(TextResource& t);
# itself.
#
# The generator runs again only when <file> or the generator changes; when
# it fails (it prints "ERR!"), the build fails. Compilers other than MSVC
# cannot read the UTF-16 files it writes, so for them a UTF-8 copy is
# compiled. The target property TEXTRESGEN_GENERATED_DIR names the folder
# of the files that are compiled.
#
# Uses the targets textresgen::textresgen, textresgen::utf16_to_utf8 and
# textresgen::runtime, which find_package(textresgen) or
# add_subdirectory(<textresgen source>) provide.

function(textresgen_add_module target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "SHARED;MODULE;STATIC" "RESOURCE" "")
  if(arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR
      "textresgen_add_module(${target}): unexpected arguments: ${arg_UNPARSED_ARGUMENTS}")
  endif()
  if(NOT arg_RESOURCE)
    message(FATAL_ERROR "textresgen_add_module(${target}): RESOURCE <file> is required")
  endif()
  set(type "")
  foreach(candidate SHARED MODULE STATIC)
    if(arg_${candidate})
      if(type)
        message(FATAL_ERROR
          "textresgen_add_module(${target}): give only one of SHARED, MODULE, STATIC")
      endif()
      set(type ${candidate})
    endif()
  endforeach()
  if(NOT type)
    set(type SHARED)
  endif()

  cmake_path(ABSOLUTE_PATH arg_RESOURCE BASE_DIRECTORY "${CMAKE_CURRENT_SOURCE_DIR}"
    NORMALIZE OUTPUT_VARIABLE resource)
  # The generator works on fixed names in its working folder, so every
  # module gets a folder of its own.
  set(work_dir "${CMAKE_CURRENT_BINARY_DIR}/textresgen/${target}")
  file(MAKE_DIRECTORY "${work_dir}")
  set(utf16_outputs "${work_dir}/TextResource.cpp" "${work_dir}/TextResource.h")
  set(copy_command
    COMMAND ${CMAKE_COMMAND} -E copy "${resource}" "${work_dir}/TextResource.txt")
  set(comment "Generating the string module ${target} from ${arg_RESOURCE}")

  # MSVC reads UTF-16 sources with their mark; GCC and Clang (clang-cl too)
  # read UTF-8 only. The UTF-8 copies are the outputs that count, so a run
  # that fails halfway leaves them stale and the next build tries again.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "MSVC")
    set(compiled_dir "${work_dir}")
    add_custom_command(
      OUTPUT ${utf16_outputs}
      ${copy_command}
      COMMAND textresgen::textresgen
      BYPRODUCTS "${work_dir}/TextResource.txt"
      DEPENDS "${resource}" textresgen::textresgen
      WORKING_DIRECTORY "${work_dir}"
      COMMENT "${comment}"
      VERBATIM)
  else()
    set(compiled_dir "${work_dir}/utf8")
    add_custom_command(
      OUTPUT "${compiled_dir}/TextResource.cpp" "${compiled_dir}/TextResource.h"
      ${copy_command}
      COMMAND textresgen::textresgen
      COMMAND ${CMAKE_COMMAND} -E make_directory "${compiled_dir}"
      COMMAND textresgen::utf16_to_utf8 TextResource.h "${compiled_dir}/TextResource.h"
      COMMAND textresgen::utf16_to_utf8 TextResource.cpp "${compiled_dir}/TextResource.cpp"
      BYPRODUCTS "${work_dir}/TextResource.txt" ${utf16_outputs}
      DEPENDS "${resource}" textresgen::textresgen textresgen::utf16_to_utf8
      WORKING_DIRECTORY "${work_dir}"
      COMMENT "${comment}"
      VERBATIM)
  endif()

  add_library(${target} ${type}
    "${compiled_dir}/TextResource.cpp" "${compiled_dir}/TextResource.h")
  target_include_directories(${target} PUBLIC "$<BUILD_INTERFACE:${compiled_dir}>")
  # d_func.cpp is included by TextResource.cpp, never compiled on its own.
  target_link_libraries(${target} PRIVATE textresgen::runtime)
  target_compile_features(${target} PRIVATE cxx_std_11)
  # Only InitString leaves a dynamic library, as on Windows.
  set_target_properties(${target} PROPERTIES
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON
    TEXTRESGEN_GENERATED_DIR "${compiled_dir}")
endfunction()
