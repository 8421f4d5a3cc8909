# One platform per build, from the target system: linux natively, win for the Windows cross build.
# Platform pieces are one file per platform (Name_linux.cpp beside Name_win.cpp); the build keeps this
# platform's files and drops the others'.
set(TALVEN_PLATFORMS linux win)
if(CMAKE_SYSTEM_NAME STREQUAL "Windows")
  set(TALVEN_PLATFORM win)
elseif(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  set(TALVEN_PLATFORM linux)
else()
  message(FATAL_ERROR "no platform layer for ${CMAKE_SYSTEM_NAME}")
endif()

# talven_platform_sources(var): removes the other platforms' *_<platform>.cpp files from the list in var.
function(talven_platform_sources var)
  set(sources ${${var}})
  foreach(platform ${TALVEN_PLATFORMS})
    if(NOT platform STREQUAL TALVEN_PLATFORM)
      list(FILTER sources EXCLUDE REGEX "_${platform}\\.cpp$")
    endif()
  endforeach()
  set(${var} ${sources} PARENT_SCOPE)
endfunction()

# The plug-in module's bundle layout: NAME.aaxplugin/Contents/<arch>/NAME.aaxplugin.
if(TALVEN_PLATFORM STREQUAL "win")
  set(TALVEN_MODULE_ARCH_DIR x64)
else()
  set(TALVEN_MODULE_ARCH_DIR x86_64-linux)
endif()

# talven_module_bundle(target name): places a SHARED library target as the module of bundle name.
function(talven_module_bundle target name)
  set_target_properties(${target} PROPERTIES
    PREFIX ""
    OUTPUT_NAME ${name}
    SUFFIX ".aaxplugin"
    LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/${name}.aaxplugin/Contents/${TALVEN_MODULE_ARCH_DIR}
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/${name}.aaxplugin/Contents/${TALVEN_MODULE_ARCH_DIR})
endfunction()

if(TALVEN_PLATFORM STREQUAL "win")
  # the C library's M_PI and friends, as glibc gives them; no min/max macros from windows.h
  add_compile_definitions(_USE_MATH_DEFINES NOMINMAX)
endif()
