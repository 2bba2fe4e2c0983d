# Runs the small cases of a benchmark executable, each for a moment, and fails unless the executable
# exits with 0 (a crash at its end included).
#   cmake -DBENCH=<executable> -DLARGEST=<n> [-DFILTER=<regex>|none] -P RunSmallCases.cmake
# Without FILTER the cases run are those whose numeric arguments are all at most LARGEST.

if(FILTER STREQUAL "none")
    set(FILTER "^$")
elseif(NOT FILTER)
    execute_process(COMMAND ${BENCH} --benchmark_list_tests=true
                    OUTPUT_VARIABLE listed RESULT_VARIABLE listed_status)
    if(NOT listed_status EQUAL 0)
        message(FATAL_ERROR "${BENCH} --benchmark_list_tests ended with ${listed_status}")
    endif()
    string(REPLACE "\n" ";" names "${listed}")
    set(small)
    foreach(name IN LISTS names)
        if(name STREQUAL "")
            continue()
        endif()
        string(REPLACE "/" ";" parts "${name}")
        set(fits TRUE)
        foreach(part IN LISTS parts)
            if(part MATCHES "^[0-9]+$" AND part GREATER LARGEST)
                set(fits FALSE)
            endif()
        endforeach()
        if(fits)
            string(REGEX REPLACE "([][.+*?()|^$\\])" "\\\\\\1" escaped "${name}")
            list(APPEND small "${escaped}")
        endif()
    endforeach()
    list(JOIN small "|" FILTER)
    set(FILTER "^(${FILTER})$")
endif()

message(STATUS "${BENCH} --benchmark_filter=${FILTER}")
execute_process(COMMAND ${BENCH} --benchmark_filter=${FILTER} --benchmark_min_time=0.001
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${BENCH} ended with ${status}")
endif()
