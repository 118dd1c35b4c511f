# The Linux install as a user lays it down, into a fresh folder: vandrel-cli, its manual page
# (with the version filled in) and the third-party notices.
#   cmake -DBUILD=build/native -DPREFIX=DIR -P tests/install_check.cmake
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX}
  RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed")
endif()
foreach(file bin/vandrel-cli share/man/man1/vandrel-cli.1 share/doc/vandrel/NOTICES.txt)
  if(NOT EXISTS ${PREFIX}/${file})
    message(FATAL_ERROR "the install has no ${file}")
  endif()
endforeach()
file(READ ${PREFIX}/share/man/man1/vandrel-cli.1 page)
if(page MATCHES "@[A-Z_]+@")
  message(FATAL_ERROR "the manual page holds ${CMAKE_MATCH_0}")
endif()
file(REMOVE_RECURSE ${PREFIX})
