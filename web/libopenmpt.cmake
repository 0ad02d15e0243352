# libopenmpt for the page: Debian's own source of the libopenmpt the native
# module links (fetched once by scripts/setup.sh --web into .deb-sources/),
# compiled with Emscripten into a static library. Only what loading and
# mixing a tracker song needs: the sound library with its built-in effect
# plugins (libopenmpt 0.6.9 does not build without them), its tables and the
# C API; no codec for samples (no zlib, mpg123, Ogg, Vorbis, FLAC), no
# archive formats and no global DSP effects, none of which the song uses.
# The library's own settings for a player library (integer mixer, no
# processor-specific paths) are kept, so the page mixes as the native
# module does.
#
# Defines the target `openmpt_web` and uses:
#   SORVANEL_LIBOPENMPT_SOURCE  the unpacked source (default: .deb-sources/libopenmpt)
set(SORVANEL_LIBOPENMPT_SOURCE ${SORVANEL_SOURCE_DIR}/.deb-sources/libopenmpt
    CACHE PATH "Debian's libopenmpt source, unpacked (scripts/setup.sh --web fetches it)")
set(OPENMPT_SOURCE ${SORVANEL_LIBOPENMPT_SOURCE})
if(NOT EXISTS ${OPENMPT_SOURCE}/libopenmpt/libopenmpt_c.cpp)
    message(FATAL_ERROR
        "The web build compiles Debian's source of libopenmpt, which is not in ${OPENMPT_SOURCE}: "
        "run scripts/setup.sh --web to fetch it (or set SORVANEL_LIBOPENMPT_SOURCE)")
endif()
file(READ ${OPENMPT_SOURCE}/.debian-version OPENMPT_DEBIAN_VERSION)
string(STRIP "${OPENMPT_DEBIAN_VERSION}" OPENMPT_DEBIAN_VERSION)
message(STATUS "libopenmpt for the page: Debian's ${OPENMPT_DEBIAN_VERSION} from ${OPENMPT_SOURCE}")

# The sound library's sources as libopenmpt's own build lists them, less the
# global DSP effects (the sample loaders for codecs compile to nothing
# without their libraries).
set(OPENMPT_COMMON
    ComponentManager Logging mptFileIO mptPathString mptRandom mptString mptStringBuffer
    mptStringFormat mptStringParse mptTime Profiler serialization_utils version)
list(TRANSFORM OPENMPT_COMMON PREPEND ${OPENMPT_SOURCE}/common/)
list(TRANSFORM OPENMPT_COMMON APPEND .cpp)
file(GLOB OPENMPT_SOUNDLIB ${OPENMPT_SOURCE}/soundlib/*.cpp ${OPENMPT_SOURCE}/soundlib/plugins/*.cpp
     ${OPENMPT_SOURCE}/soundlib/plugins/dmo/*.cpp)
set(OPENMPT_API libopenmpt_c.cpp libopenmpt_cxx.cpp libopenmpt_impl.cpp libopenmpt_ext_impl.cpp)
list(TRANSFORM OPENMPT_API PREPEND ${OPENMPT_SOURCE}/libopenmpt/)

add_library(openmpt_web STATIC ${OPENMPT_COMMON} ${OPENMPT_SOUNDLIB} ${OPENMPT_API})
set_target_properties(openmpt_web PROPERTIES CXX_STANDARD 17 CXX_EXTENSIONS OFF)
target_include_directories(openmpt_web PRIVATE
    ${OPENMPT_SOURCE} ${OPENMPT_SOURCE}/src ${OPENMPT_SOURCE}/common
    ${OPENMPT_SOURCE}/build/svn_version)
# The module includes <libopenmpt/libopenmpt.h> from the source's root.
target_include_directories(openmpt_web SYSTEM INTERFACE ${OPENMPT_SOURCE})
target_compile_definitions(openmpt_web PRIVATE
    LIBOPENMPT_BUILD NO_REVERB MPT_PACKAGE=1)
# Someone else's code: its warnings are not this project's to fix. Built for
# size: mixing the song costs the page little either way.
target_compile_options(openmpt_web PRIVATE -w -Os)
# The library reports a file it cannot load by throwing inside and catching
# at its API: its exceptions must be caught, not abort the page (Emscripten's
# own catching, which every browser with WebAssembly has).
target_compile_options(openmpt_web PRIVATE -sDISABLE_EXCEPTION_CATCHING=0)
target_link_options(openmpt_web INTERFACE -sDISABLE_EXCEPTION_CATCHING=0)
