# From the Linux build: cross-build the Windows test program of the Win32
# layer and run it under Wine, where the cross compiler, Wine and Xvfb are
# present (scripts/deps.sh installs them).
find_program(VELTRO_MINGW_CXX x86_64-w64-mingw32-g++-posix)
find_program(VELTRO_WINE wine)
find_program(VELTRO_XVFB Xvfb)
if(NOT VELTRO_MINGW_CXX OR NOT VELTRO_WINE OR NOT VELTRO_XVFB)
  message(STATUS "Win32 layer tests left out: MinGW-w64 (posix), Wine or Xvfb missing")
  return()
endif()

include(ExternalProject)
set(veltro_win32_dir ${CMAKE_BINARY_DIR}/win32)
ExternalProject_Add(veltro_win32_tests
  SOURCE_DIR ${CMAKE_CURRENT_LIST_DIR}
  BINARY_DIR ${veltro_win32_dir}
  CMAKE_ARGS
    -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/mingw-w64-x86_64.cmake
    -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
    -DCMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER}
    -DVELTRO_SOURCE_DIR=${PROJECT_SOURCE_DIR}
  INSTALL_COMMAND ""
  # Its sources change without the outer build knowing.
  BUILD_ALWAYS ON)

add_test(NAME win32_layer_under_wine
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/run_under_wine.sh ${VELTRO_WINE} ${VELTRO_XVFB}
          ${veltro_win32_dir}/veltro_win32_test.exe)
# Wine's first start in a fresh prefix takes a while on a loaded machine;
# the prefix is kept in the build folder for the runs after it.
set_tests_properties(win32_layer_under_wine PROPERTIES TIMEOUT 900
  ENVIRONMENT "VELTRO_WINE_CACHE=${veltro_win32_dir}/wine")
