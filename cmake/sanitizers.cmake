# Instrumentation for every target built after this point, GoogleTest included, so a report
# points into whichever code went wrong.
option(VANDREL_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(VANDREL_FUZZ "Build the libFuzzer programs (clang only)" OFF)

if(VANDREL_SANITIZE OR VANDREL_FUZZ)
  # Undefined behaviour stops the program instead of printing and going on.
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
if(VANDREL_FUZZ)
  # Coverage feedback from the core the targets drive.
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
