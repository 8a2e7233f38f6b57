# Warnings as errors and the optional sanitizers, applied to every target of ours.
add_compile_options(-Wall -Wextra -Werror)
add_compile_definitions($<$<CONFIG:Debug>:_GLIBCXX_ASSERTIONS> QT_NO_KEYWORDS)

if(ZEMVALKORTA_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
if(ZEMVALKORTA_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

# Adds a GoogleTest executable registered with CTest. FILTER leaves out the
# tests that only a test of the same program starts (as a child process).
function(zemvalkorta_gtest name)
  cmake_parse_arguments(ARG "" "FILTER" "SOURCES;LIBS" ${ARGN})
  set(filter "*")
  if(ARG_FILTER)
    set(filter "${ARG_FILTER}")
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE GTest::gtest_main GTest::gmock ${ARG_LIBS})
  # The program's cache (the record of cleanly closed projects) stays in the build tree.
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 TEST_FILTER "${filter}" PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
    ENVIRONMENT_MODIFICATION "XDG_CACHE_HOME=set:${CMAKE_BINARY_DIR}/test-cache")
endfunction()
