# ffgl_add_plugin(<target> SOURCES <files>... [LIBRARIES <libs>...])
#
# Builds one plug-in module the way hosts expect to find it: a MODULE library
# without the "lib" prefix, named <target>.so / .dll / .bundle, carrying the
# entry point and instance core, and exporting only the symbols a host looks up.
set(FFGL_EXPORTS_MAP "${CMAKE_CURRENT_LIST_DIR}/ffgl-exports.map" CACHE INTERNAL "")

function(ffgl_add_plugin target)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES" ${ARGN})
  add_library(${target} MODULE ${ARG_SOURCES} $<TARGET_OBJECTS:ffglhost>)
  target_link_libraries(${target} PRIVATE ffglcore ${ARG_LIBRARIES})
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
  set_target_properties(${target} PROPERTIES PREFIX "")
  if(WIN32)
    set_target_properties(${target} PROPERTIES SUFFIX ".dll")
  elseif(APPLE)
    set_target_properties(${target} PROPERTIES SUFFIX ".bundle" BUNDLE ON)
  else()
    set_target_properties(${target} PROPERTIES SUFFIX ".so")
    # Hidden visibility covers our own code; the version script also hides
    # template instantiations of the standard library that would otherwise be
    # exported as weak symbols.
    target_link_options(${target} PRIVATE
      "LINKER:--version-script=${FFGL_EXPORTS_MAP}" "LINKER:--no-undefined")
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS "${FFGL_EXPORTS_MAP}")
  endif()
  tenebrixor_warnings(${target})
endfunction()
