# The Windows program, its in-process tests and the end-to-end driver, all cross-built with MinGW-w64.
enable_testing()
enable_language(RC)

set(XIRARP_RESULTS_DIR ${CMAKE_BINARY_DIR}/results)

# Tests run under Wine in a prefix of their own inside the build folder.
find_program(XIRARP_WINE64 wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64" AND XIRARP_WINE64)
    set(XIRARP_WINE ${XIRARP_WINE64})
else()
    set(XIRARP_WINE wine)
endif()
foreach(script wine-run.sh wine-desktop-run.sh)
    configure_file(${CMAKE_SOURCE_DIR}/cmake/${script}.in ${CMAKE_BINARY_DIR}/${script} @ONLY
                   FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
endforeach()
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)

set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
add_compile_options(-Wall -Wextra -ffunction-sections -fdata-sections)
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0600 WINVER=0x0600)
add_link_options(-static -s -Wl,--gc-sections)

# The program catches no exception: its code is built without exception tables, and lean_runtime.cpp
# ends it where the library would throw. The tests keep exceptions (GoogleTest reports with them).
set(XIRARP_PROGRAM_OPTIONS -fno-exceptions -fno-asynchronous-unwind-tables)

add_library(xirarp_core STATIC ${XIRARP_CORE_SOURCES})
target_compile_options(xirarp_core PRIVATE ${XIRARP_PROGRAM_OPTIONS})
target_include_directories(xirarp_core PUBLIC ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR})
target_compile_definitions(xirarp_core PUBLIC XIRARP_BASE_IMAGE_SIZE=${XIRARP_BASE_IMAGE_SIZE})

file(GLOB_RECURSE xirarp_win_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/*.cpp)
list(REMOVE_ITEM xirarp_win_sources ${CMAKE_SOURCE_DIR}/src/app/main.cpp ${CMAKE_SOURCE_DIR}/src/app/lean_runtime.cpp)
foreach(core_source ${XIRARP_CORE_SOURCES})
    list(REMOVE_ITEM xirarp_win_sources ${CMAKE_SOURCE_DIR}/${core_source})
endforeach()
add_library(xirarp_win STATIC ${xirarp_win_sources})
target_compile_options(xirarp_win PRIVATE ${XIRARP_PROGRAM_OPTIONS})
# No iphlpapi: it is no known DLL, and the program loads it from the system folder itself (sys/system_dlls.cpp).
target_link_libraries(xirarp_win PUBLIC xirarp_core shlwapi comctl32 ole32 oleaut32 uuid shell32 gdi32 user32
                                        advapi32)

# The resource script includes the other scripts and the assets: rebuild it when any of them changes.
file(GLOB resource_inputs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/res/*.rc ${CMAKE_SOURCE_DIR}/res/*.h
     ${CMAKE_SOURCE_DIR}/res/*.manifest ${CMAKE_SOURCE_DIR}/res/assets/*)
set_source_files_properties(res/xirarp.rc PROPERTIES OBJECT_DEPENDS "${resource_inputs}")
# The string tables, one script per language in UTF-8, compiled beside it with that code page.
file(GLOB string_table_inputs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/res/strings*.rc ${CMAKE_SOURCE_DIR}/res/resource.h)
set_source_files_properties(res/strings.rc PROPERTIES COMPILE_FLAGS "-c 65001" OBJECT_DEPENDS "${string_table_inputs}")

# The service's event messages: a message table that windmc compiles and the resource script includes.
string(REPLACE "windres" "windmc" XIRARP_WINDMC ${CMAKE_RC_COMPILER})
set(XIRARP_MESSAGES_DIR ${CMAKE_BINARY_DIR}/messages)
add_custom_command(OUTPUT ${XIRARP_MESSAGES_DIR}/service_messages.rc ${XIRARP_MESSAGES_DIR}/MSG00409.bin
    COMMAND ${CMAKE_COMMAND} -E make_directory ${XIRARP_MESSAGES_DIR}
    COMMAND ${XIRARP_WINDMC} -h ${XIRARP_MESSAGES_DIR} -r ${XIRARP_MESSAGES_DIR} ${CMAKE_SOURCE_DIR}/res/service_messages.mc
    DEPENDS ${CMAKE_SOURCE_DIR}/res/service_messages.mc
    VERBATIM)
add_custom_target(xirarp_messages DEPENDS ${XIRARP_MESSAGES_DIR}/service_messages.rc)
set_property(SOURCE res/xirarp.rc APPEND PROPERTY OBJECT_DEPENDS ${XIRARP_MESSAGES_DIR}/service_messages.rc)

add_executable(XirARP WIN32 src/app/main.cpp src/app/lean_runtime.cpp res/xirarp.rc res/strings.rc)
target_include_directories(XirARP PRIVATE ${XIRARP_MESSAGES_DIR})
add_dependencies(XirARP xirarp_messages)
target_compile_options(XirARP PRIVATE ${XIRARP_PROGRAM_OPTIONS})
target_link_libraries(XirARP PRIVATE xirarp_win)
add_custom_command(TARGET XirARP POST_BUILD
    COMMAND ${CMAKE_COMMAND} -DIMAGE=$<TARGET_FILE:XirARP> -DBASE_SIZE=${XIRARP_BASE_IMAGE_SIZE}
            -P ${CMAKE_SOURCE_DIR}/cmake/PadImage.cmake
    VERBATIM)

# GoogleTest from the sources Debian installs.
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# Wine sees the build folder through drive Z:.
string(REPLACE "/" "\\" results_dir_for_wine "Z:${XIRARP_RESULTS_DIR}")
# Each test program runs inside a Wine virtual desktop (see wine-desktop-run.sh).
function(xirarp_add_wine_test name target)
    add_test(NAME ${name} COMMAND ${CMAKE_BINARY_DIR}/wine-desktop-run.sh $<TARGET_FILE:${target}> ${ARGN})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "GTEST_OUTPUT=xml:${results_dir_for_wine}\\${name}.xml"
                                            TIMEOUT 3600)  # an hour: the emulator lane is slow
endfunction()

# What the in-process and end-to-end suites share: finding and working the program's windows, its settings.
file(GLOB test_support_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/support/*.cpp)
add_library(xirarp_test_support STATIC ${test_support_sources})
target_include_directories(xirarp_test_support PUBLIC ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(xirarp_test_support PUBLIC xirarp_core gtest shlwapi advapi32 user32)

file(GLOB win_test_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win/*.cpp)
add_executable(xirarp_win_tests ${win_test_sources} res/xirarp.rc res/strings.rc)
target_include_directories(xirarp_win_tests PRIVATE ${XIRARP_MESSAGES_DIR})
add_dependencies(xirarp_win_tests xirarp_messages)
target_link_libraries(xirarp_win_tests PRIVATE xirarp_win xirarp_test_support gtest gtest_main iphlpapi ws2_32)
xirarp_add_wine_test(win_tests xirarp_win_tests)

# Recording stand-ins for the system commands the program starts.
foreach(command arp ping)
    add_executable(standin_${command} tests/e2e/stand_in.cpp)
    set_target_properties(standin_${command} PROPERTIES OUTPUT_NAME ${command}
                          RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/standins)
endforeach()

# A DLL the robustness suite plants beside the program under a system library's name.
add_library(planted_dll SHARED tests/e2e/planted_dll.cpp)
set_target_properties(planted_dll PROPERTIES PREFIX "" OUTPUT_NAME iphlpapi RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/planted)

file(GLOB e2e_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/*_test.cpp ${CMAKE_SOURCE_DIR}/tests/e2e/steps/*.cpp)
# The suites read the program's texts from the same string tables, through the program's own loader.
add_executable(xirarp_e2e_tests ${e2e_sources} res/strings.rc src/sys/ui_text.cpp src/sys/text_encoding.cpp)
target_include_directories(xirarp_e2e_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/e2e)
target_link_libraries(xirarp_e2e_tests PRIVATE xirarp_test_support gtest_main shell32)
add_dependencies(xirarp_e2e_tests XirARP standin_arp standin_ping planted_dll)
# The robustness suites run once, in an entry of their own (scripts/robustness.sh runs them alone).
xirarp_add_wine_test(e2e_tests xirarp_e2e_tests --gtest_filter=-Robustness*:Attack.*:ServiceBoot.*)
# Protected from boot: Apply installs the service in one Wine session, and the next session (a fresh one, as
# after a restart) starts it by itself. Its events are read from the eventlog channel of that session's services.
xirarp_add_wine_test(e2e_service_install xirarp_e2e_tests --gtest_filter=ServiceBoot.Silent*:ServiceBoot.OnlyAnElevated*)
set(session_log ${CMAKE_BINARY_DIR}/service-session.log)
add_test(NAME e2e_service_boot COMMAND bash -c "WINEPREFIX='${CMAKE_BINARY_DIR}/wineprefix' wineserver -k; rm -f '${session_log}'; exec '${CMAKE_BINARY_DIR}/wine-desktop-run.sh' \"$0\" --gtest_filter=ServiceBoot.TheNextSession*" $<TARGET_FILE:xirarp_e2e_tests>)
set_tests_properties(e2e_service_boot PROPERTIES TIMEOUT 600 ENVIRONMENT
    "GTEST_OUTPUT=xml:${results_dir_for_wine}\\e2e_service_boot.xml;XIRARP_SESSION_LOG=${session_log};WINEDEBUG=-all,warn+eventlog")
xirarp_add_wine_test(e2e_robustness xirarp_e2e_tests --gtest_filter=Robustness*)
# The attack cases run in a network of namespaces, in a Wine session and prefix of their own started inside the
# workstation's namespace (scripts/netns.sh; where it cannot make them, the cases skip).
add_test(NAME e2e_attack COMMAND ${CMAKE_SOURCE_DIR}/scripts/netns.sh run ${CMAKE_BINARY_DIR}/wine-desktop-run.sh
                                 $<TARGET_FILE:xirarp_e2e_tests> --gtest_filter=Attack.*)
set_tests_properties(e2e_attack PROPERTIES TIMEOUT 600 ENVIRONMENT
    "GTEST_OUTPUT=xml:${results_dir_for_wine}\\e2e_attack.xml;XIRARP_WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix-netns")
foreach(locale zh_CN zh_TW)
    xirarp_add_wine_test(e2e_system_language_${locale} xirarp_e2e_tests --gtest_filter=SystemLanguage.*:Acceptance.*)
    set_property(TEST e2e_system_language_${locale} APPEND PROPERTY ENVIRONMENT "LC_ALL=${locale}.UTF-8")
endforeach()
include(${CMAKE_SOURCE_DIR}/cmake/Benchmark.cmake)
