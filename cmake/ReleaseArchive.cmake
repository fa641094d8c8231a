# Release archives: `cmake --build BUILD --target package` makes
# CameraTenebrixor-<version>-Linux-<cpu>.tar.gz, or -win64.zip in the Windows
# cross build. One folder of that name holds the product's plug-in modules,
# ffgl-host where it builds, the README and the licence. The version is the
# project's, set once in the top-level CMakeLists.txt.
install(TARGETS CameraTenebrixor TenebrixorWatch LIBRARY DESTINATION .)
if(TARGET ffgl-host)
  install(TARGETS ffgl-host RUNTIME DESTINATION .)
endif()
install(FILES README.md LICENSE DESTINATION .)

set(CPACK_PACKAGE_NAME "CameraTenebrixor")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "The Camera Tenebrixor developers")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
if(WIN32)
  set(CPACK_GENERATOR "ZIP")
  set(CPACK_PACKAGE_FILE_NAME "CameraTenebrixor-${PROJECT_VERSION}-win64")
else()
  set(CPACK_GENERATOR "TGZ")
  set(CPACK_PACKAGE_FILE_NAME "CameraTenebrixor-${PROJECT_VERSION}-${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR}")
endif()
include(CPack)
