# vandrel-cli: the window's commands from the command line, through the console side of the
# seam. CLI11 parses the arguments and nlohmann/json writes the JSON: both header-only, found
# among the host's headers and copied apart, so that the cross build sees them and no other
# host header.
find_path(VANDREL_CLI11_DIR CLI/CLI.hpp NO_CMAKE_FIND_ROOT_PATH)
find_path(VANDREL_JSON_DIR nlohmann/json.hpp NO_CMAKE_FIND_ROOT_PATH)
if(NOT VANDREL_CLI11_DIR OR NOT VANDREL_JSON_DIR)
  message(FATAL_ERROR "vandrel-cli needs CLI11 and nlohmann/json (Debian: libcli11-dev "
    "nlohmann-json3-dev, which tools/setup.sh installs); -DVANDREL_CLI=OFF leaves it out.")
endif()
set(VANDREL_CLI_HEADERS ${CMAKE_BINARY_DIR}/cli-headers)
file(COPY ${VANDREL_CLI11_DIR}/CLI ${VANDREL_JSON_DIR}/nlohmann DESTINATION ${VANDREL_CLI_HEADERS})

# The console platform; of its system halves, the one for this platform.
file(GLOB VANDREL_CONSOLE_SOURCES CONFIGURE_DEPENDS platform/console/*.cpp)
if(WIN32)
  list(FILTER VANDREL_CONSOLE_SOURCES EXCLUDE REGEX "_posix\\.cpp$")
else()
  list(FILTER VANDREL_CONSOLE_SOURCES EXCLUDE REGEX "_win32\\.cpp$")
endif()
add_library(vandrel_console STATIC ${VANDREL_CONSOLE_SOURCES})
target_link_libraries(vandrel_console PUBLIC vandrel_core)
if(WIN32)
  # The window's collation and clock serve the console too.
  target_link_libraries(vandrel_console PUBLIC vandrel_win32)
endif()
vandrel_warnings(vandrel_console)

file(GLOB VANDREL_CLI_SOURCES CONFIGURE_DEPENDS cli/*.cpp)
add_library(vandrel_cli STATIC ${VANDREL_CLI_SOURCES})
target_include_directories(vandrel_cli SYSTEM PUBLIC ${VANDREL_CLI_HEADERS})
target_link_libraries(vandrel_cli PUBLIC vandrel_console)
vandrel_warnings(vandrel_cli)

if(WIN32)
  add_executable(vandrel-cli cli/program/main_win32.cpp)
  target_link_options(vandrel-cli PRIVATE ${VANDREL_UNICODE_ENTRY} ${VANDREL_STATIC_LINK})
else()
  add_executable(vandrel-cli cli/program/main_posix.cpp)
endif()
target_link_libraries(vandrel-cli PRIVATE vandrel_cli)
vandrel_warnings(vandrel-cli)
