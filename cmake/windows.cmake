# Both Windows editions (x86 and x64) from one source tree.

set(TKP_WARNINGS -Wall -Wextra -Werror)
set(TKP_SMALL_CODE -Os -fno-exceptions -fno-rtti -ffunction-sections -fdata-sections)
if(TKP_EDITION STREQUAL "x86")
    list(APPEND TKP_SMALL_CODE -fno-asynchronous-unwind-tables)
endif()

# ---------------------------------------------------------------- hook DLL
# It runs inside every GUI process of the desktop: no C runtime at all.
add_library(tkpchhk SHARED hooklib/hooklib.cpp hooklib/tkpchhk-${TKP_EDITION}.def)
set_target_properties(tkpchhk PROPERTIES OUTPUT_NAME TKPCHHK PREFIX "" SUFFIX ".dll")
target_compile_options(tkpchhk PRIVATE ${TKP_WARNINGS} ${TKP_SMALL_CODE} -fno-stack-protector)
if(TKP_EDITION STREQUAL "x86")
    set(TKP_DLL_ENTRY _DllMain@12)
else()
    set(TKP_DLL_ENTRY DllMain)
endif()
target_link_options(tkpchhk PRIVATE -nostdlib -s -Wl,--kill-at -Wl,-e,${TKP_DLL_ENTRY}
                    -Wl,--no-insert-timestamp -Wl,--enable-reloc-section)
target_link_libraries(tkpchhk PRIVATE user32)
# No import library of the usual kind: the program binds by ordinal only.
set_target_properties(tkpchhk PROPERTIES IMPORT_PREFIX "" IMPORT_SUFFIX ".dll.unused.a")

# Import library naming no function, only ordinals 2 and 3.
set(TKP_ORDINAL_IMPORTS ${CMAKE_CURRENT_BINARY_DIR}/libtkpchhk-ordinals.a)
set(TKP_DLLTOOL ${CMAKE_C_COMPILER})
string(REGEX REPLACE "-gcc(-win32|-posix)?$" "-dlltool" TKP_DLLTOOL "${TKP_DLLTOOL}")
add_custom_command(
    OUTPUT ${TKP_ORDINAL_IMPORTS}
    COMMAND ${TKP_DLLTOOL} -d ${CMAKE_SOURCE_DIR}/hooklib/tkpchhk-import-${TKP_EDITION}.def
            -l ${TKP_ORDINAL_IMPORTS}
    DEPENDS ${CMAKE_SOURCE_DIR}/hooklib/tkpchhk-import-${TKP_EDITION}.def
    COMMENT "Ordinal import library for TKPCHHK.dll")
add_custom_target(tkpchhk_ordinals DEPENDS ${TKP_ORDINAL_IMPORTS})
add_library(tkpchhk_imports STATIC IMPORTED GLOBAL)
set_target_properties(tkpchhk_imports PROPERTIES IMPORTED_LOCATION ${TKP_ORDINAL_IMPORTS})
add_dependencies(tkpchhk_imports tkpchhk_ordinals tkpchhk)

# ---------------------------------------------------------------- pictures
set(TKP_PICTURE_NAMES BACK NO0 NO1 NO2 NO3 NO4 NO5 NO6 NO7 NO8 NO9 COLON AM PM)
set(TKP_ICON_NAMES TKPCOV TKPCH TKPDAT TKPDAT2)
set(TKP_PICTURE_DIR ${CMAKE_CURRENT_BINARY_DIR}/pictures)
set(TKP_PICTURES)
foreach(name ${TKP_PICTURE_NAMES})
    list(APPEND TKP_PICTURES ${TKP_PICTURE_DIR}/${name}.bmp)
endforeach()
foreach(name ${TKP_ICON_NAMES})
    list(APPEND TKP_PICTURES ${TKP_PICTURE_DIR}/${name}.ico)
endforeach()
file(GLOB TKP_PICTURE_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/res/pictures/*.txt)
add_custom_command(
    OUTPUT ${TKP_PICTURES}
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/mkpictures.py
            --src ${CMAKE_SOURCE_DIR}/res/pictures --out ${TKP_PICTURE_DIR}
    DEPENDS ${TKP_PICTURE_SOURCES} ${CMAKE_SOURCE_DIR}/tools/mkpictures.py
    COMMENT "Pictures from their text sources")
add_custom_target(tkp_pictures DEPENDS ${TKP_PICTURES})

# ---------------------------------------------------------------- program
set(TKP_CHARSET -fexec-charset=CP932) # the program's texts are Shift-JIS bytes

add_library(tkpchov_res OBJECT res/tkpchov.rc)
target_include_directories(tkpchov_res PRIVATE ${TKP_PICTURE_DIR} ${CMAKE_SOURCE_DIR}/res)
set_source_files_properties(res/tkpchov.rc PROPERTIES OBJECT_DEPENDS "${TKP_PICTURES};${CMAKE_SOURCE_DIR}/res/tkpchov.manifest")
add_dependencies(tkpchov_res tkp_pictures)

add_library(tkpchov_core STATIC
    base/appstate.cpp base/helpers.cpp base/pathtext.cpp base/placement.cpp base/textscan.cpp startup/settings.cpp
    startup/lifecycle.cpp
    clockwin/clockproc.cpp clockwin/dock.cpp clockwin/geometry.cpp clockwin/commands.cpp
    clockwin/filedialog.cpp clockwin/tray.cpp clockwin/tooltip.cpp clockwin/datetext.cpp
    clockwin/onscreen.cpp clockwin/monitors.cpp clockwin/perchwatch.cpp clockwin/syscalls.cpp
    skin/skinformat.cpp skin/skinload.cpp skin/region.cpp skin/runscan.cpp skin/face.cpp skin/facelayout.cpp
    dialogs/caption.cpp dialogs/gradient.cpp dialogs/dialogs.cpp dialogs/settingdlg.cpp dialogs/infodlg.cpp
    dialogs/linkrules.cpp)
target_compile_options(tkpchov_core PRIVATE ${TKP_WARNINGS} ${TKP_SMALL_CODE} ${TKP_CHARSET})
target_compile_definitions(tkpchov_core PUBLIC STRICT)
# One source, two builds: the x64 edition is a Unicode program (the wide
# functions, any character in a path, the program's texts on every code
# page); the x86 edition stays the ANSI program for the 9x and NT 4 systems.
if(TKP_EDITION STREQUAL "x64")
    target_compile_definitions(tkpchov_core PUBLIC UNICODE _UNICODE)
endif()
target_link_libraries(tkpchov_core PUBLIC tkpchhk_imports comctl32 comdlg32 shell32 gdi32 user32 kernel32)

# The outline's pixel loop is the one hot spot; it is worth a few bytes.
set_source_files_properties(skin/runscan.cpp PROPERTIES COMPILE_OPTIONS -O2)

add_executable(TkpchOV WIN32 startup/winmain.cpp $<TARGET_OBJECTS:tkpchov_res>)
target_link_libraries(TkpchOV PRIVATE tkpchov_core)
target_link_options(TkpchOV PRIVATE -static -s -Wl,--gc-sections -Wl,--no-insert-timestamp)
if(TKP_EDITION STREQUAL "x64")
    target_link_options(TkpchOV PRIVATE -municode) # wWinMain: the command line as typed
endif()

# The help page travels beside the program.
add_custom_command(TARGET TkpchOV POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/res/help/Tkpch12.html
            $<TARGET_FILE_DIR:TkpchOV>/Tkpch12.html)

# ---------------------------------------------------------------- qvetool
# qvetool.exe for skin authors, and the build machine's own qvetool, which
# packs the sample skins during this build.
add_subdirectory(${CMAKE_SOURCE_DIR}/qvetool ${CMAKE_BINARY_DIR}/qvetool)
set_target_properties(qvetool PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
include(ExternalProject)
set(TKP_HOST_QVETOOL ${CMAKE_BINARY_DIR}/host-qvetool/qvetool)
ExternalProject_Add(host_qvetool
    SOURCE_DIR ${CMAKE_SOURCE_DIR}/qvetool
    BINARY_DIR ${CMAKE_BINARY_DIR}/host-qvetool
    CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_COMPILER=gcc -DCMAKE_CXX_COMPILER=g++
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON
    BUILD_BYPRODUCTS ${TKP_HOST_QVETOOL})
include(${CMAKE_SOURCE_DIR}/cmake/skins.cmake)
tkp_sample_skins(${TKP_HOST_QVETOOL} host_qvetool)

# ---------------------------------------------------------------- checks
add_test(NAME static.binaries
         COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/static/check_binaries.py
                 --edition ${TKP_EDITION} --objdump ${CMAKE_OBJDUMP}
                 $<TARGET_FILE:TkpchOV> $<TARGET_FILE:tkpchhk>)
add_test(NAME static.resources
         COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/static/check_resources.py $<TARGET_FILE:TkpchOV>)

if(TKP_WINE_TESTS)
    include(cmake/winetests.cmake)
endif()
