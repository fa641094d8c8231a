# cmake -DOBJDUMP=<objdump> -DMODULE=<plug-in.dll> -P CheckWindowsModule.cmake
#
# Fails unless the DLL exports exactly the entry points a host looks up and
# imports nothing but DLLs that every Windows system has: the C++ runtime and
# the threading library must be linked into the plug-in, or it would not load
# on a machine without them beside it.
set(expected_exports InitGLExts SetLogCallback ValidateContextState g_CurrPluginInfo plugMain)
set(system_dll_pattern "^(kernel32|msvcrt|ucrtbase|api-ms-win-crt-[a-z0-9-]+|opengl32|ws2_32)\\.dll$")

execute_process(COMMAND "${OBJDUMP}" -p "${MODULE}" OUTPUT_VARIABLE dump RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${MODULE} failed")
endif()

string(REPLACE ";" "," dump "${dump}")
string(REPLACE "\n" ";" lines "${dump}")
set(exports "")
set(imports "")
set(in_export_names OFF)
foreach(line IN LISTS lines)
  if(line MATCHES "^\\[Ordinal/Name Pointer\\] Table")
    set(in_export_names ON)
  elseif(in_export_names AND line MATCHES "^[ \t]+\\[ *[0-9]+\\] ([^ \t]+)$")
    list(APPEND exports "${CMAKE_MATCH_1}")
  elseif(in_export_names)
    set(in_export_names OFF)
  endif()
  if(line MATCHES "DLL Name: ([^ \t]+)")
    list(APPEND imports "${CMAKE_MATCH_1}")
  endif()
endforeach()

list(SORT exports)
list(SORT expected_exports)
if(NOT exports STREQUAL expected_exports)
  message(FATAL_ERROR "${MODULE} exports [${exports}], expected exactly [${expected_exports}]")
endif()

if(imports STREQUAL "")
  message(FATAL_ERROR "${MODULE}: no import table found in the objdump output")
endif()
foreach(dll IN LISTS imports)
  string(TOLOWER "${dll}" lower)
  if(NOT lower MATCHES "${system_dll_pattern}")
    message(FATAL_ERROR "${MODULE} imports ${dll}, which is not a system DLL (imports: ${imports})")
  endif()
endforeach()
message(STATUS "${MODULE}: exports ${exports}; imports ${imports}")
