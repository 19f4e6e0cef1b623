# The plain Win32 layer (no Qt): the panel's Windows build and the Windows
# test program compile exactly these files (with ../topmost_rect.cpp).
set(VELTRO_WIN32_DIR ${CMAKE_CURRENT_LIST_DIR})
set(VELTRO_WIN32_SOURCES
  ${VELTRO_WIN32_DIR}/app_settings_registry.cpp
  ${VELTRO_WIN32_DIR}/topmost_window.cpp
  ${VELTRO_WIN32_DIR}/known_folders.cpp
)
set(VELTRO_WIN32_LIBS advapi32 user32 shell32 ole32 uuid)
set(VELTRO_WIN32_DEFINITIONS WIN32_LEAN_AND_MEAN NOMINMAX)
