# The Win32 platform: its half of the seam, the program and the end-to-end driver.
enable_language(RC)
if(MINGW)
  set(VANDREL_STATIC_LINK -static -static-libgcc -static-libstdc++)
  # Programs entered through wWinMain or wmain.
  set(VANDREL_UNICODE_ENTRY -municode)
endif()

# The window side of the seam; the program entry lives apart so that test programs can link
# the platform without it.
file(GLOB VANDREL_WIN32_SOURCES CONFIGURE_DEPENDS platform/win32/*.cpp)
list(REMOVE_ITEM VANDREL_WIN32_SOURCES ${VANDREL_WIN32_CORE_SOURCES})
add_library(vandrel_win32 STATIC ${VANDREL_WIN32_SOURCES})
target_link_libraries(vandrel_win32 PUBLIC
  vandrel_core advapi32 user32 gdi32 comctl32 comdlg32 shell32 ole32)
vandrel_warnings(vandrel_win32)

add_executable(Vandrel WIN32 platform/win32/program/winmain.cpp res/vandrel.rc)
target_link_libraries(Vandrel PRIVATE vandrel_win32)
target_include_directories(Vandrel PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/res)
vandrel_warnings(Vandrel)
target_link_options(Vandrel PRIVATE ${VANDREL_UNICODE_ENTRY} ${VANDREL_STATIC_LINK})
if(MSVC)
  # The resource script carries the manifest.
  target_link_options(Vandrel PRIVATE /MANIFEST:NO)
endif()

# The user's guide stands beside the program, with the line ends Notepad expects.
configure_file(res/ReadMe.txt ${CMAKE_CURRENT_BINARY_DIR}/res/ReadMe.txt @ONLY NEWLINE_STYLE CRLF)
add_custom_command(TARGET Vandrel POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_CURRENT_BINARY_DIR}/res/ReadMe.txt
          $<TARGET_FILE_DIR:Vandrel>/ReadMe.txt)
