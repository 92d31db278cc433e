# Warnings and sanitizers for every target of the project, applied through one interface target.
add_library(quillon_options INTERFACE)
target_compile_options(quillon_options INTERFACE -Wall -Wextra -Wpedantic)
if(QUILLON_WERROR)
    target_compile_options(quillon_options INTERFACE -Werror)
endif()
if(QUILLON_SANITIZE)
    target_compile_options(quillon_options INTERFACE
        -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(quillon_options INTERFACE -fsanitize=address,undefined)
endif()

# quillon_add_gtest(<target> LABEL <label> SOURCES <files...> LIBS <libs...> [EMULATOR <cmd...>])
# One test binary per area; every case is registered with ctest and carries the area's label.
function(quillon_add_gtest target)
    cmake_parse_arguments(ARG "" "LABEL" "SOURCES;LIBS;EMULATOR" ${ARGN})
    add_executable(${target} ${ARG_SOURCES})
    target_link_libraries(${target} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main quillon_options)
    if(ARG_EMULATOR)
        set_target_properties(${target} PROPERTIES CROSSCOMPILING_EMULATOR "${ARG_EMULATOR}")
    endif()
    gtest_discover_tests(${target}
        DISCOVERY_MODE PRE_TEST
        PROPERTIES LABELS ${ARG_LABEL}
                   ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_RUNTIME_DIR=${CMAKE_BINARY_DIR}/xdg-runtime")
endfunction()
