# Settings every target of the build shares: the language standard, warnings, the
# sanitizer and fuzzer instrumentation the options ask for, and the version header.

set(CMAKE_CXX_STANDARD 17)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
set(CMAKE_EXPORT_COMPILE_COMMANDS ON)
if(NOT CMAKE_BUILD_TYPE)
    set(CMAKE_BUILD_TYPE RelWithDebInfo)
endif()

add_compile_options(-Wall -Wextra)

if(KELVANE_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()

if(KELVANE_FUZZ)
    set(KELVANE_BUILD_GUI OFF)
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()

# The version every program shows: the project version, and the commit it was built from.
set(KELVANE_VERSION_TEXT ${PROJECT_VERSION})
find_package(Git QUIET)
if(GIT_FOUND)
    execute_process(COMMAND ${GIT_EXECUTABLE} describe --always --dirty
                    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                    OUTPUT_VARIABLE KELVANE_GIT_DESCRIPTION OUTPUT_STRIP_TRAILING_WHITESPACE
                    ERROR_QUIET RESULT_VARIABLE KELVANE_GIT_RESULT)
    if(KELVANE_GIT_RESULT EQUAL 0 AND KELVANE_GIT_DESCRIPTION)
        set(KELVANE_VERSION_TEXT "${PROJECT_VERSION} (git ${KELVANE_GIT_DESCRIPTION})")
    endif()
endif()
configure_file(${PROJECT_SOURCE_DIR}/version.h.in ${PROJECT_BINARY_DIR}/generated/kelvane_version.h
               @ONLY)
include_directories(${PROJECT_BINARY_DIR}/generated)

enable_testing()
if(NOT KELVANE_FUZZ)
    find_package(GTest REQUIRED)
    include(GoogleTest)
endif()

# The screens; their folders turn on the meta-object compiler for themselves.
if(KELVANE_BUILD_GUI)
    find_package(Qt6 REQUIRED COMPONENTS Widgets)
endif()
