# ffgl_add_plugin(<target> SOURCES <files>... [LIBRARIES <libs>...])
#
# Builds one plug-in module the way hosts expect to find it: a MODULE library
# without the "lib" prefix, carrying the entry point and instance core, and
# exporting only the symbols a host looks up:
# - Linux: <target>.so;
# - Windows: <target>.dll, with the C++ runtime linked in so that it needs no
#   DLL beside it, and the GL loader of ffglex;
# - macOS: the loadable bundle <target>.bundle, with its Info.plist, linking
#   the OpenGL framework.
set(FFGL_EXPORTS_MAP "${CMAKE_CURRENT_LIST_DIR}/ffgl-exports.map" CACHE INTERNAL "")
set(FFGL_EXPORTS_DEF "${CMAKE_CURRENT_LIST_DIR}/ffgl-exports.def" CACHE INTERNAL "")
set(FFGL_EXPORTS_LIST "${CMAKE_CURRENT_LIST_DIR}/ffgl-exports.txt" CACHE INTERNAL "")
set(FFGL_BUNDLE_PLIST "${CMAKE_CURRENT_LIST_DIR}/FFGLBundleInfo.plist.in" CACHE INTERNAL "")

function(ffgl_add_plugin target)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES" ${ARGN})
  add_library(${target} MODULE ${ARG_SOURCES} $<TARGET_OBJECTS:tenebrixor_host>)
  target_link_libraries(${target} PRIVATE tenebrixor_core ${ARG_LIBRARIES})
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
  set_target_properties(${target} PROPERTIES PREFIX "")
  if(WIN32)
    # The dispatch resolves the GL functions through ffglex before an
    # instance's InitGL. The .def file names the exports, as the version
    # script does on Linux. -static takes libstdc++, libgcc and winpthread
    # from their archives, so only system DLLs are imported.
    target_sources(${target} PRIVATE ${FFGL_EXPORTS_DEF})
    target_link_libraries(${target} PRIVATE tenebrixor_ffglex)
    target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
    # Release DLLs leave the static runtime's symbol tables behind (half the
    # file); debug builds keep them for the debugger.
    target_link_options(${target} PRIVATE $<$<CONFIG:Release,MinSizeRel>:-s>)
    set_target_properties(${target} PROPERTIES SUFFIX ".dll")
  elseif(APPLE)
    # Hosts load a CFBundle: <target>.bundle/Contents/MacOS/<target> and its
    # Info.plist. The exported-symbols list does what the version script does
    # on Linux (Mach-O names carry a leading underscore).
    set_target_properties(${target} PROPERTIES
      BUNDLE ON
      BUNDLE_EXTENSION bundle
      SUFFIX ""
      MACOSX_BUNDLE_INFO_PLIST "${FFGL_BUNDLE_PLIST}"
      MACOSX_BUNDLE_BUNDLE_NAME "${target}"
      MACOSX_BUNDLE_GUI_IDENTIFIER "org.tenebrixor.${target}"
      MACOSX_BUNDLE_BUNDLE_VERSION "${PROJECT_VERSION}"
      MACOSX_BUNDLE_SHORT_VERSION_STRING "${PROJECT_VERSION}")
    target_link_libraries(${target} PRIVATE OpenGL::GL)
    target_link_options(${target} PRIVATE "LINKER:-exported_symbols_list,${FFGL_EXPORTS_LIST}")
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS "${FFGL_EXPORTS_LIST}")
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
