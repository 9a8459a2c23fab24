# Common settings for every target of our own code.

if(STAMPWELL_SANITIZE)
    # Line tables are all a sanitizer's report needs, and cost far less to build than full
    # debug information.
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all
                        -g1)
    add_link_options(-fsanitize=address,undefined)
endif()
if(STAMPWELL_FUZZ)
    # Coverage for libFuzzer in every library; the fuzz targets add its main.
    # Line tables are enough for the stack of a crash.
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=all -gline-tables-only)
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

# The Qt headers most windows include, compiled once per build into a
# precompiled header held by a small object library and reused by the window
# libraries: stampwell_shared_qt_headers(target). The users compile with the
# holder's flags; GCC refuses a header built otherwise (-Winvalid-pch, an error
# here). The test suites stay out: with precompiled headers GCC 12 reports array
# bounds in std::string code inlined into them at -O2, which it does not when it
# reads the same headers.
function(stampwell_shared_qt_headers target)
    if(NOT TARGET stampwell_qt_headers)
        file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/stampwell_qt_headers.cpp CONTENT "")
        add_library(stampwell_qt_headers OBJECT ${CMAKE_BINARY_DIR}/stampwell_qt_headers.cpp)
        stampwell_target_defaults(stampwell_qt_headers)
        target_link_libraries(stampwell_qt_headers PRIVATE Qt6::Widgets)
        target_precompile_headers(stampwell_qt_headers PRIVATE <QApplication> <QBoxLayout>
                                  <QCheckBox> <QComboBox> <QDialog> <QDir> <QFile> <QGridLayout>
                                  <QGroupBox> <QLabel> <QLineEdit> <QPushButton> <QRadioButton>
                                  <QString> <QTimer> <QToolButton> <QWidget> <string> <vector>)
    endif()
    target_precompile_headers(${target} REUSE_FROM stampwell_qt_headers)
endfunction()
