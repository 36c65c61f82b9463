# Native Linux build of the platform-free code: unit tests under ASan and
# UBSan, and the bounded fuzz run.

set(TKP_SANITIZERS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
add_compile_options(-g -O1 ${TKP_SANITIZERS})
add_link_options(${TKP_SANITIZERS})

set(TKP_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources (Debian package googletest)")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(${TKP_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

add_library(tkp_portable STATIC
    skin/skinformat.cpp skin/runscan.cpp skin/facelayout.cpp
    clockwin/geometry.cpp clockwin/onscreen.cpp clockwin/datetext.cpp dialogs/gradient.cpp dialogs/linkrules.cpp
    base/pathtext.cpp base/placement.cpp base/textscan.cpp)
# The texts must be the same Shift-JIS bytes the program carries.
target_compile_options(tkp_portable PUBLIC -Wall -Wextra -Werror -fexec-charset=CP932)
target_include_directories(tkp_portable PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/skin)

file(GLOB TKP_UNIT_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/*_test.cpp)
add_executable(unit_tests ${TKP_UNIT_TESTS})
target_link_libraries(unit_tests PRIVATE tkp_portable gtest gtest_main)
add_test(NAME unit COMMAND unit_tests)

# A short fuzz run with every test run, shared by the skin check and qvetool;
# tools/fuzz runs them for as long as asked.
set(TKP_FUZZ_SECONDS 60 CACHE STRING "Seconds of fuzzing in the test run")
add_test(NAME fuzz.skins COMMAND ${CMAKE_SOURCE_DIR}/tools/fuzz ${TKP_FUZZ_SECONDS})
set_tests_properties(fuzz.skins PROPERTIES TIMEOUT 900)

# qvetool natively, its unit tests (UTF-8 texts, so apart from the program's
# Shift-JIS ones) and the sample skins it packs.
add_subdirectory(${CMAKE_SOURCE_DIR}/qvetool ${CMAKE_BINARY_DIR}/qvetool)
file(GLOB TKP_QVETOOL_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/qvetool/*_test.cpp)
add_executable(qvetool_tests ${TKP_QVETOOL_TESTS})
target_include_directories(qvetool_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/unit)
target_include_directories(qvetool_tests SYSTEM PRIVATE /usr/include/stb)
target_compile_definitions(qvetool_tests PRIVATE TKP_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
target_compile_options(qvetool_tests PRIVATE -Wall -Wextra -Werror)
target_link_libraries(qvetool_tests PRIVATE qvetool_core gtest gtest_main)
add_test(NAME unit.qvetool COMMAND qvetool_tests)
set_tests_properties(unit.qvetool PROPERTIES ENVIRONMENT "TKP_SAMPLE_SKINS=${CMAKE_BINARY_DIR}/skins")

include(${CMAKE_SOURCE_DIR}/cmake/skins.cmake)
tkp_sample_skins($<TARGET_FILE:qvetool> qvetool)

# The source folders include one another in one direction only.
add_test(NAME static.floors COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/static/check_floors.py ${CMAKE_SOURCE_DIR})
