# One library per subsystem folder, its tests beside it.
#
# quillon_module(<target>
#                [SHARED]
#                [DEPS <public libraries>...]
#                [PRIVATE_DEPS <private libraries>...]
#                [TEST_DEPS <libraries for the tests only>...])
#
# Builds <target> from the folder's *.cpp files. When the folder has a tests/
# sub-folder with *.cpp files, they become one GoogleTest executable,
# <target>_tests, whose cases are registered with CTest. Test executables land
# in the runtime folder beside the program's data files. Source lists are
# globbed so that adding a file needs no edit here; CONFIGURE_DEPENDS makes
# the build notice new files.
function(quillon_module target)
    cmake_parse_arguments(ARG "SHARED" "" "DEPS;PRIVATE_DEPS;TEST_DEPS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
    if(NOT sources)
        # Headers only, so far.
        add_library(${target} INTERFACE)
        target_include_directories(${target} INTERFACE "${PROJECT_SOURCE_DIR}")
        target_link_libraries(${target} INTERFACE ${ARG_DEPS})
    else()
        if(ARG_SHARED)
            add_library(${target} SHARED ${sources})
        else()
            add_library(${target} STATIC ${sources})
        endif()
        target_include_directories(${target} PUBLIC "${PROJECT_SOURCE_DIR}")
        target_link_libraries(${target} PUBLIC ${ARG_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
    endif()

    file(GLOB test_sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/tests/*.cpp")
    if(test_sources)
        add_executable(${target}_tests ${test_sources})
        target_link_libraries(${target}_tests PRIVATE ${target} ${ARG_TEST_DEPS}
                              GTest::gmock GTest::gtest GTest::gtest_main)
        # Tests find the shipped data files (config.xml, layouts, language,
        # skins) in the runtime folder, as the program does.
        add_dependencies(${target}_tests quillon_data)
        # A test that lacks what it needs (a display, a kernel device) exits
        # with 77 and shows as skipped.
        gtest_discover_tests(${target}_tests
            DISCOVERY_TIMEOUT 120
            PROPERTIES SKIP_RETURN_CODE 77)
    endif()
endfunction()
