# The Win32 platform: its half of the seam, the program and the end-to-end driver.
if(MINGW)
  set(VANDREL_STATIC_LINK -static -static-libgcc -static-libstdc++)
endif()

file(GLOB VANDREL_WIN32_SOURCES CONFIGURE_DEPENDS platform/win32/*.cpp)
list(REMOVE_ITEM VANDREL_WIN32_SOURCES ${VANDREL_WIN32_CORE_SOURCES})
add_library(vandrel_win32 STATIC ${VANDREL_WIN32_SOURCES})
target_link_libraries(vandrel_win32 PUBLIC vandrel_core advapi32)
vandrel_warnings(vandrel_win32)
