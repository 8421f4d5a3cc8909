# GoogleTest for the cross build: Debian ships its sources, built here with the target's compiler.
set(TALVEN_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources for cross builds")
if(NOT EXISTS ${TALVEN_GTEST_SOURCE}/CMakeLists.txt)
  message(FATAL_ERROR "no GoogleTest sources in ${TALVEN_GTEST_SOURCE} (Debian package googletest)")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
add_subdirectory(${TALVEN_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
