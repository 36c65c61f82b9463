# Tests of either edition that run under Wine (one win64 prefix runs both):
# in-process tests of the program's code against real Win32, and end-to-end
# scenarios of the built program on a virtual display.

set(TKP_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources (Debian package googletest)")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
add_subdirectory(${TKP_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
target_compile_options(gtest PRIVATE -Wno-error)


file(GLOB TKP_WINE_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/wine/*.cpp)
add_executable(wine_tests ${TKP_WINE_TEST_SOURCES} $<TARGET_OBJECTS:tkpchov_res>)
target_include_directories(wine_tests PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests/unit)
target_compile_options(wine_tests PRIVATE ${TKP_WARNINGS} ${TKP_CHARSET} -O1)
target_link_libraries(wine_tests PRIVATE tkpchov_core gtest)
target_link_options(wine_tests PRIVATE -static -mconsole)
# The qvetool tests run qvetool.exe on the sample skins and the fuzz corpus.
target_compile_definitions(wine_tests PRIVATE TKP_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
target_include_directories(wine_tests SYSTEM PRIVATE /usr/include/stb)
add_dependencies(wine_tests qvetool tkp_sample_skins)
# The test program finds the hook library beside itself.
add_custom_command(TARGET wine_tests POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:tkpchhk> $<TARGET_FILE_DIR:wine_tests>)

# Time bounds stretch where the tests run slower (tools/lib.sh's qemu route).
set(TKP_TIME_SCALE 1)
if(DEFINED ENV{TKP_TIME_SCALE})
    set(TKP_TIME_SCALE $ENV{TKP_TIME_SCALE})
endif()
math(EXPR TKP_SUITE_TIMEOUT "600 * ${TKP_TIME_SCALE}")
math(EXPR TKP_SCENARIO_TIMEOUT "300 * ${TKP_TIME_SCALE}")

set(TKP_WINE_PREFIX_ROOT ${CMAKE_SOURCE_DIR}/build/wine)
add_test(NAME wine.prefix COMMAND ${CMAKE_SOURCE_DIR}/tools/wine-prefix ${TKP_WINE_PREFIX_ROOT}/integration)
set_tests_properties(wine.prefix PROPERTIES FIXTURES_SETUP wine_prefix TIMEOUT ${TKP_SCENARIO_TIMEOUT})

# One ctest entry per group of suites; they share the desktop, so one at a time.
set(TKP_WINE_SUITES Settings Paths Hook Dock Skin Region Face Commands Tray Tooltip Caption Dialogs Qvetool)
foreach(suite ${TKP_WINE_SUITES})
    add_test(NAME wine.${suite} COMMAND wine_tests --gtest_filter=${suite}*.*:${suite}*/*.*)
    set_tests_properties(wine.${suite} PROPERTIES FIXTURES_REQUIRED wine_prefix RESOURCE_LOCK wine_desktop
        TIMEOUT ${TKP_SUITE_TIMEOUT} ENVIRONMENT "TKP_WINEPREFIX=${TKP_WINE_PREFIX_ROOT}/integration")
endforeach()

# ---------------------------------------------------------------- end to end
file(GLOB TKP_DRIVER_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/driver/*.cpp)
add_executable(e2e_driver ${TKP_DRIVER_SOURCES})
target_compile_options(e2e_driver PRIVATE ${TKP_WARNINGS} ${TKP_CHARSET} -O1)
target_include_directories(e2e_driver PRIVATE ${CMAKE_SOURCE_DIR}/tests/unit)
target_link_libraries(e2e_driver PRIVATE gdi32 user32 kernel32)
target_link_options(e2e_driver PRIVATE -static -mconsole)

# Stands in for the browser: a program without a window or console.
add_executable(e2e_recorder WIN32 tests/e2e/recorder/recorder.cpp)
target_compile_options(e2e_recorder PRIVATE ${TKP_WARNINGS} -O1)
target_link_options(e2e_recorder PRIVATE -static)

set(TKP_SCENARIOS first_start follow hide_and_return drag second_instance odd_settings end_session
    skin_cmdline missing_skin face_time menu_clock tray_icon change_data help_page dialogs sample_skins archive
    mixed_bitness today_windows text_everywhere settings_protected)
# Each edition's scenarios keep their files apart (build/e2e, build/e2e-x86).
if(TKP_EDITION STREQUAL "x64")
    set(TKP_E2E_WORK ${CMAKE_SOURCE_DIR}/build/e2e)
else()
    set(TKP_E2E_WORK ${CMAKE_SOURCE_DIR}/build/e2e-${TKP_EDITION})
endif()
foreach(scenario ${TKP_SCENARIOS})
    add_test(NAME e2e.${scenario}
             COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/e2e/run_scenario.py
                     --build-dir ${CMAKE_BINARY_DIR} --work-root ${TKP_E2E_WORK} ${scenario})
    set_tests_properties(e2e.${scenario} PROPERTIES TIMEOUT ${TKP_SCENARIO_TIMEOUT} DEPENDS "TkpchOV;e2e_driver;e2e_recorder")
endforeach()

# ---------------------------------------------------------------- benchmarks
# Not tests: tools/bench runs them and prints their figures.
add_executable(wine_bench tests/bench/wine_bench.cpp tests/wine/region_reference.cpp tests/wine/face_reference.cpp
    $<TARGET_OBJECTS:tkpchov_res>)
target_include_directories(wine_bench PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests/wine)
target_compile_options(wine_bench PRIVATE ${TKP_WARNINGS} -O2)
target_link_libraries(wine_bench PRIVATE tkpchov_core)
target_link_options(wine_bench PRIVATE -static -mconsole)
add_custom_command(TARGET wine_bench POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:tkpchhk> $<TARGET_FILE_DIR:wine_bench>)
