# Warnings for the project's own targets; CI turns them into errors.
function(tenebrixor_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
  if(TENEBRIXOR_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
