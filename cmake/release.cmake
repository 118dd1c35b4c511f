# What a user gets. On Linux, `cmake --install` lays down vandrel-cli, its manual page and the
# third-party notices. For Windows, `cmake --build --target package` makes the release zip: the
# two programs, the user's guide beside them (where Help looks for it) and the notices, nothing
# else.
if(WIN32)
  # The notices with the line ends Notepad expects, as the user's guide has (cmake/win32.cmake).
  configure_file(res/NOTICES.txt ${CMAKE_CURRENT_BINARY_DIR}/res/NOTICES.txt @ONLY
    NEWLINE_STYLE CRLF)
  install(TARGETS Vandrel RUNTIME DESTINATION .)
  if(TARGET vandrel-cli)
    install(TARGETS vandrel-cli RUNTIME DESTINATION .)
  endif()
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/res/ReadMe.txt
    ${CMAKE_CURRENT_BINARY_DIR}/res/NOTICES.txt DESTINATION .)

  set(CPACK_GENERATOR ZIP)
  # Named apart from CPack's own variable, which include(CPack) changes for the source package.
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(VANDREL_RELEASE_ZIP Vandrel-${PROJECT_VERSION}-win64)
  else()
    set(VANDREL_RELEASE_ZIP Vandrel-${PROJECT_VERSION}-win32)
  endif()
  set(CPACK_PACKAGE_FILE_NAME ${VANDREL_RELEASE_ZIP})
  # The files lie at the zip's top, so that "Extract All" gives one folder that holds them.
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
  set(CPACK_STRIP_FILES ON)
  include(CPack)
elseif(TARGET vandrel-cli)
  include(GNUInstallDirs)
  configure_file(cli/vandrel-cli.1.in ${CMAKE_CURRENT_BINARY_DIR}/vandrel-cli.1 @ONLY)
  install(TARGETS vandrel-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/vandrel-cli.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES res/NOTICES.txt DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/vandrel)
endif()
