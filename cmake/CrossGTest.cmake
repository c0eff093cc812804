# GoogleTest for a cross build: made from Debian's source package (googletest,
# /usr/src/googletest) with the cross compiler, under the names the tests use.
set(LMQ_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's sources, built with the cross compiler")
if(NOT EXISTS ${LMQ_GTEST_SOURCE}/CMakeLists.txt)
  message(FATAL_ERROR "No GoogleTest sources in ${LMQ_GTEST_SOURCE}: apt-get install googletest")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(${LMQ_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
foreach(lib gtest gtest_main gmock gmock_main)
  if(NOT TARGET GTest::${lib})
    add_library(GTest::${lib} ALIAS ${lib})
  endif()
endforeach()
