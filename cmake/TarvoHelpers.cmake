# Shared compile settings for every target of the project.
function(tarvo_set_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
                                             -Wold-style-cast -Wcast-align -Woverloaded-virtual)
    if(TARVO_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
    target_compile_definitions(${target} PRIVATE QT_NO_KEYWORDS
                                                 QT_DISABLE_DEPRECATED_UP_TO=0x060000)
endfunction()

# tarvo_add_library(<name> SOURCES ... LIBS ...)
# One static library per subsystem folder; LIBS lists the subsystems it may use.
function(tarvo_add_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src ${PROJECT_BINARY_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_LIBS})
    tarvo_set_warnings(${name})
endfunction()

# tarvo_add_test(<name> SOURCES ... LIBS ...)
# One QtTest executable per test class, registered with CTest under <name>. The name starts with the
# subsystem folder's name so that `ctest -R probe` runs one subsystem's tests.
function(tarvo_add_test name)
    cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
    add_executable(test_${name} ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/tests/support/LoopbackOnly.cpp)
    target_link_libraries(test_${name} PRIVATE tarvo_test_support ${ARG_LIBS} Qt6::Test)
    set_target_properties(test_${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    tarvo_set_warnings(test_${name})
    add_test(NAME ${name} COMMAND test_${name})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 120)
    endif()
    # Every test runs off-screen and with the loopback guard on: nothing may leave 127.0.0.0/8.
    set_tests_properties(${name} PROPERTIES
        TIMEOUT ${ARG_TIMEOUT}
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TARVO_LOOPBACK_ONLY=1;LC_ALL=C.UTF-8;no_proxy=*;QT_LOGGING_RULES=qt.qpa.*=false")
endfunction()
