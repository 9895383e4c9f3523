# ostrel_generate(TARGET DTD <file> [NAMESPACE ns] [NAME name] [TYPES file] [ROOT element])
#
# Runs ostrel-gen at build time on the DTD (again whenever the DTD, a file it reads or the
# types file changes) and builds its output into the static library TARGET, linked to
# Ostrel::ostrelxml and Ostrel::ostrelbase. A program linked to TARGET includes "NAME.h".
# NAME defaults to the DTD's file name without its extension, each run of characters
# other than ASCII letters and digits made one '_'; NAMESPACE defaults to NAME.
function(ostrel_generate target)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "DTD;NAMESPACE;NAME;TYPES;ROOT" "")
  if(NOT ARG_DTD)
    message(FATAL_ERROR "ostrel_generate(${target}): DTD <file> is required")
  endif()
  if(ARG_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "ostrel_generate(${target}): unknown arguments ${ARG_UNPARSED_ARGUMENTS}")
  endif()
  get_filename_component(dtd "${ARG_DTD}" ABSOLUTE)
  if(ARG_NAME)
    set(name "${ARG_NAME}")
  else()
    get_filename_component(name "${dtd}" NAME_WLE)
    string(REGEX REPLACE "[^A-Za-z0-9]+" "_" name "${name}")
    string(REGEX REPLACE "^_" "x_" name "${name}")
  endif()
  set(dir "${CMAKE_CURRENT_BINARY_DIR}/${target}_generated")
  set(args --name "${name}" -o "${dir}" --depfile "${dir}/${name}.d")
  set(depends "${dtd}")
  if(ARG_NAMESPACE)
    list(APPEND args --namespace "${ARG_NAMESPACE}")
  endif()
  if(ARG_ROOT)
    list(APPEND args --root "${ARG_ROOT}")
  endif()
  if(ARG_TYPES)
    get_filename_component(types "${ARG_TYPES}" ABSOLUTE)
    list(APPEND args --types "${types}")
    list(APPEND depends "${types}")
  endif()
  file(MAKE_DIRECTORY "${dir}")
  add_custom_command(
    OUTPUT "${dir}/${name}.h" "${dir}/${name}.cpp"
    COMMAND Ostrel::ostrel-gen ${args} "${dtd}"
    DEPENDS ${depends} Ostrel::ostrel-gen
    DEPFILE "${dir}/${name}.d"
    COMMENT "ostrel-gen: the ${name} binding from ${ARG_DTD}"
    VERBATIM)
  add_library(${target} STATIC "${dir}/${name}.cpp" "${dir}/${name}.h")
  target_include_directories(${target} PUBLIC "${dir}")
  target_link_libraries(${target} PUBLIC Ostrel::ostrelxml Ostrel::ostrelbase)
  set_target_properties(${target} PROPERTIES POSITION_INDEPENDENT_CODE ON)
endfunction()
