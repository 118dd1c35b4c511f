# The Win32 platform: its half of the seam, the program and the end-to-end driver.
if(MINGW)
  set(VANDREL_STATIC_LINK -static -static-libgcc -static-libstdc++)
endif()

add_library(vandrel_win32 STATIC
  platform/win32/registry_win32.cpp
)
target_link_libraries(vandrel_win32 PUBLIC vandrel_core advapi32)
vandrel_warnings(vandrel_win32)
