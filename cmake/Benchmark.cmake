# The benchmark's programs (scripts/benchmark.sh): an empty dialog built with XirARP's own flags and XirARP's
# template without its code for reference, a timestamping arp.exe stand-in, and the Windows-side driver that starts and measures them.
add_executable(EmptyDlg WIN32 bench/empty_dialog.cpp bench/empty_dialog.rc)
target_include_directories(EmptyDlg PRIVATE ${CMAKE_SOURCE_DIR}/bench)
set_source_files_properties(bench/empty_dialog.rc PROPERTIES OBJECT_DEPENDS
                            "${CMAKE_SOURCE_DIR}/bench/empty_dialog.h;${CMAKE_SOURCE_DIR}/res/xirarp.manifest")

# The same dialog loading the same system libraries as XirARP (bench/same_imports.cpp).
add_executable(EmptyDlgImports WIN32 bench/empty_dialog.cpp bench/same_imports.cpp bench/empty_dialog.rc)
target_include_directories(EmptyDlgImports PRIVATE ${CMAKE_SOURCE_DIR}/bench)
target_compile_definitions(EmptyDlgImports PRIVATE XIRARP_BENCH_SAME_IMPORTS)
target_link_libraries(EmptyDlgImports PRIVATE iphlpapi shlwapi comctl32 ole32 shell32 gdi32 advapi32)

# XirARP's own dialog template and resources with no code behind them: the floor of its window's start-up.
add_executable(XirArpFloor WIN32 bench/template_floor.cpp bench/same_imports.cpp res/xirarp.rc res/strings.rc)
target_include_directories(XirArpFloor PRIVATE ${CMAKE_SOURCE_DIR} ${XIRARP_MESSAGES_DIR})
add_dependencies(XirArpFloor xirarp_messages)
target_link_libraries(XirArpFloor PRIVATE iphlpapi shlwapi comctl32 ole32 shell32 gdi32 advapi32)

add_executable(bench_stamp_arp bench/stamp_standin.cpp)
set_target_properties(bench_stamp_arp PROPERTIES OUTPUT_NAME arp RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench-standins)

add_executable(xirarp_bench bench/bench_driver.cpp bench/bench_service.cpp tests/e2e/steps/netns.cpp tests/e2e/steps/collector.cpp tests/e2e/steps/service.cpp tests/e2e/steps/process_resources.cpp
               tests/e2e/steps/program.cpp tests/e2e/steps/sandbox.cpp tests/e2e/steps/shell_tray.cpp
               tests/e2e/steps/timer_expiries.cpp)
target_include_directories(xirarp_bench PRIVATE ${CMAKE_SOURCE_DIR}/tests/e2e)
target_link_libraries(xirarp_bench PRIVATE xirarp_test_support shell32 advapi32)
add_dependencies(xirarp_bench XirARP EmptyDlg EmptyDlgImports XirArpFloor bench_stamp_arp standin_arp standin_ping)
