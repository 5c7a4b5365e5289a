# Finds JUCE: a local checkout when ORVO_JUCE_DIR is set, otherwise an installed
# JUCE (Debian's juce-modules-source + juce-tools), otherwise JUCE 8.0.13 fetched
# from its public repository (macOS, Windows).
#
# Defines the interface target orvo_juce_system_codecs, which carries the codec
# and image libraries that a distribution's JUCE expects to be linked from the
# system rather than compiling its bundled copies.

add_library(orvo_juce_system_codecs INTERFACE)

if(ORVO_JUCE_DIR)
    add_subdirectory("${ORVO_JUCE_DIR}" "${CMAKE_BINARY_DIR}/JUCE" EXCLUDE_FROM_ALL)
    message(STATUS "JUCE: local checkout ${ORVO_JUCE_DIR}")
    return()
endif()

find_package(JUCE CONFIG QUIET)

if(JUCE_FOUND)
    message(STATUS "JUCE: installed ${JUCE_VERSION} (${JUCE_MODULES_DIR})")
    if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
        # Debian's JUCE is built with JUCE_INCLUDE_*_CODE=0.
        find_package(PkgConfig REQUIRED)
        pkg_check_modules(ORVO_CODECS REQUIRED IMPORTED_TARGET
            flac vorbis vorbisfile vorbisenc ogg zlib libpng libjpeg)
        target_link_libraries(orvo_juce_system_codecs INTERFACE PkgConfig::ORVO_CODECS)
    endif()
    return()
endif()

include(FetchContent)
FetchContent_Declare(JUCE
    GIT_REPOSITORY https://github.com/juce-framework/JUCE.git
    GIT_TAG 8.0.13
    GIT_SHALLOW TRUE)
FetchContent_MakeAvailable(JUCE)
message(STATUS "JUCE: fetched 8.0.13")
