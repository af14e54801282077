# Native build of the portable core with its tests under AddressSanitizer and UBSan, and the fuzzer.
enable_testing()
find_package(GTest REQUIRED)

set(sanitize -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
add_library(xirarp_core STATIC ${XIRARP_CORE_SOURCES})
target_include_directories(xirarp_core PUBLIC ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR})
target_compile_definitions(xirarp_core PUBLIC XIRARP_BASE_IMAGE_SIZE=${XIRARP_BASE_IMAGE_SIZE})
target_compile_options(xirarp_core PUBLIC ${sanitize} -g -O1 -Wall -Wextra)
target_link_options(xirarp_core PUBLIC ${sanitize})

file(GLOB native_test_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/native/*.cpp)
add_executable(xirarp_native_tests ${native_test_sources})
target_link_libraries(xirarp_native_tests PRIVATE xirarp_core GTest::gtest GTest::gtest_main)
set(XIRARP_RESULTS_DIR ${CMAKE_BINARY_DIR}/results)
add_test(NAME native_tests COMMAND xirarp_native_tests)
set_tests_properties(native_tests PROPERTIES ENVIRONMENT "GTEST_OUTPUT=xml:${XIRARP_RESULTS_DIR}/native_tests.xml")

# libFuzzer needs clang; the test run fuzzes briefly, scripts/fuzz.sh runs it for longer.
find_program(CLANGXX clang++)
if(CLANGXX)
    set(fuzz_binary ${CMAKE_BINARY_DIR}/fuzz/client_config_fuzz)
    set(fuzz_inputs ${CMAKE_SOURCE_DIR}/tests/fuzz/client_config_fuzz.cpp ${CMAKE_SOURCE_DIR}/src/config/client_config.cpp
                    ${CMAKE_SOURCE_DIR}/src/sys/number_text.cpp)
    add_custom_command(
        OUTPUT ${fuzz_binary}
        COMMAND ${CLANGXX} -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined
                -DXIRARP_BASE_IMAGE_SIZE=${XIRARP_BASE_IMAGE_SIZE} -I${CMAKE_SOURCE_DIR}/src
                -I${CMAKE_SOURCE_DIR} ${fuzz_inputs} -o ${fuzz_binary}
        DEPENDS ${fuzz_inputs} ${CMAKE_SOURCE_DIR}/src/config/client_config.h
        COMMENT "Building the configuration parser fuzzer")
    add_custom_target(build_client_config_fuzz ALL DEPENDS ${fuzz_binary})
    add_test(NAME fuzz_client_config_brief
             COMMAND ${fuzz_binary} -max_total_time=15 -rss_limit_mb=2048 -print_final_stats=1
                     ${CMAKE_BINARY_DIR}/fuzz_corpus ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus)
    file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz_corpus ${CMAKE_BINARY_DIR}/fuzz)
else()
    message(WARNING "clang++ not found: the configuration parser fuzzer is not built")
endif()
