# Our own code builds warning-free; third-party headers come in as SYSTEM.
# The fuzzing tree builds with another compiler, whose extra warnings are not errors.
option(TALVEN_WERROR "Treat warnings in our own code as errors" ON)
function(talven_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(TALVEN_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
