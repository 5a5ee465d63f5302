# GoogleTest for both worlds. Natively Debian's prebuilt libraries; for Windows the
# sources in /usr/src/googletest, built with the cross compiler.
if(WIN32)
    set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    foreach(t gtest gtest_main gmock gmock_main)
        if(TARGET ${t})
            target_compile_options(${t} PRIVATE -w)
        endif()
    endforeach()
else()
    find_package(GTest REQUIRED)
    include(GoogleTest)
endif()

# Under an emulator Wine runs several times slower than natively; the Windows tests' time
# limits grow by this factor (scripts/test.sh sets it when it configures the build).
set(KORVANE_TEST_TIME_FACTOR 1 CACHE STRING
    "How many times slower than native the tests' Wine runs; scales the Windows tests' timeouts")

# korvane_wine_timeout(<out var> <seconds>): a Windows test's time limit at the tests' pace.
function(korvane_wine_timeout out seconds)
    math(EXPR scaled "${seconds} * ${KORVANE_TEST_TIME_FACTOR}")
    set(${out} ${scaled} PARENT_SCOPE)
endfunction()

# korvane_add_test(NAME <name> SOURCES <files...> LIBS <libs...> [WINDOWS_ONLY] [NATIVE_ONLY]
#                  [LABELS <labels...>] [TIMEOUT <seconds>])
# Natively every test case becomes its own CTest test; under Wine the runner is one test
# (starting Wine once per case would cost more than the cases themselves).
function(korvane_add_test)
    cmake_parse_arguments(T "WINDOWS_ONLY;NATIVE_ONLY" "NAME;TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
    if(T_WINDOWS_ONLY AND NOT WIN32)
        return()
    endif()
    if(T_NATIVE_ONLY AND WIN32)
        return()
    endif()
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 300)
    endif()
    add_executable(${T_NAME} ${T_SOURCES})
    if(WIN32)
        target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} korvane_defaults gmock gtest_main)
        add_test(NAME ${T_NAME} COMMAND ${T_NAME} --gtest_brief=1)
        korvane_wine_timeout(timeout ${T_TIMEOUT})
        set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${timeout} LABELS "wine;${T_LABELS}")
    else()
        target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} korvane_defaults GTest::gmock GTest::gtest_main)
        gtest_discover_tests(${T_NAME} DISCOVERY_MODE PRE_TEST
            PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS "native;${T_LABELS}")
    endif()
endfunction()
