# Common settings for every target of our own code.

if(STAMPWELL_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options(-fsanitize=address,undefined)
endif()

function(stampwell_target_defaults target)
    if(MSVC)
        # Not built here (see README): warnings are shown, not yet made errors.
        target_compile_options(${target} PRIVATE /W4 /utf-8 /permissive-)
    else()
        target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
    endif()
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
        # GCC 12 reports overlaps that cannot happen inside std::string's
        # operator+ when it inlines at -O3 (GCC bug 105329).
        target_compile_options(${target} PRIVATE -Wno-restrict)
    endif()
    if(WIN32)
        # Wide-character API only; no ANSI code page anywhere.
        target_compile_definitions(${target} PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                                                     _WIN32_WINNT=0x0A00)
    endif()
endfunction()

# A Qt-free library of ours: stampwell_library(name SOURCES ... DEPS ...)
function(stampwell_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
    stampwell_target_defaults(${name})
endfunction()

# Where the programs and their language files go: side by side in one folder on
# Windows, the usual tree elsewhere (the programs look for lang/ beside them,
# then for ../share/stampwell/lang).
if(WIN32)
    set(STAMPWELL_BIN_DIR .)
    set(STAMPWELL_LANG_DIR lang)
else()
    set(STAMPWELL_BIN_DIR bin)
    set(STAMPWELL_LANG_DIR share/stampwell/lang)
endif()

# The version as the programs show it: 3.1.0 is "3.01.00".
function(_stampwell_two_digits out value)
    if(value LESS 10)
        set(value 0${value})
    endif()
    set(${out} ${value} PARENT_SCOPE)
endfunction()
_stampwell_two_digits(_minor ${PROJECT_VERSION_MINOR})
_stampwell_two_digits(_patch ${PROJECT_VERSION_PATCH})
set(STAMPWELL_VERSION_TEXT "${PROJECT_VERSION_MAJOR}.${_minor}.${_patch}")

# A Windows program's icon and version resource; nothing elsewhere.
function(stampwell_windows_resources target description)
    if(NOT WIN32)
        return()
    endif()
    set(STAMPWELL_RC_NAME ${target})
    set(STAMPWELL_RC_DESCRIPTION ${description})
    set(STAMPWELL_RC_ICON ${CMAKE_SOURCE_DIR}/resources/icons/stampwell.ico)
    set(_rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
    configure_file(${CMAKE_SOURCE_DIR}/resources/stampwell.rc.in ${_rc} @ONLY)
    set_source_files_properties(${_rc} PROPERTIES OBJECT_DEPENDS ${STAMPWELL_RC_ICON})
    target_sources(${target} PRIVATE ${_rc})
endfunction()
