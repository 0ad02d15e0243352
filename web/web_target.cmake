# The native build's `web` target: builds the show for a web browser into
# build/web/, a static folder any web server can host. It configures and
# builds web/ with Debian's Emscripten as a build tree of its own
# (build/web-build/), with this build's data files and song, and Debian's
# source of libopenmpt, which the page mixes the song with.
# Not part of `all`: it needs the emscripten package and that source
# (scripts/setup.sh --web).
find_program(SORVANEL_EMCMAKE emcmake)
set(SORVANEL_SITE ${CMAKE_BINARY_DIR}/web)
if(SORVANEL_EMCMAKE)
    # A non-Debian node first on PATH does not find Debian's acorn, which
    # emcc's optimiser needs; the sanitizer build's flags must not leak in,
    # and the inner build runs its own two jobs, not the outer make's.
    set(WEB_ENV ${CMAKE_COMMAND} -E env --unset=CXXFLAGS --unset=CFLAGS --unset=LDFLAGS
        --unset=MAKEFLAGS NODE_PATH=/usr/share/nodejs)
    add_custom_target(web
        COMMAND ${WEB_ENV} ${SORVANEL_EMCMAKE} ${CMAKE_COMMAND} -S ${PROJECT_SOURCE_DIR}/web
                -B ${CMAKE_BINARY_DIR}/web-build -DCMAKE_BUILD_TYPE=Release
                -DSORVANEL_NATIVE_BUILD=${CMAKE_BINARY_DIR} -DSORVANEL_SITE=${SORVANEL_SITE}
        COMMAND ${WEB_ENV} ${CMAKE_COMMAND} --build ${CMAKE_BINARY_DIR}/web-build -j2
        DEPENDS sorvanel_song content_glyphs sorvanel_pictures content_banner content_meshes
                line_tables
        COMMENT "Building the show for the web into ${SORVANEL_SITE}"
        USES_TERMINAL
        VERBATIM)
else()
    add_custom_target(web
        COMMAND ${CMAKE_COMMAND} -E echo
                "The web build needs Emscripten: scripts/setup.sh --web installs it"
        COMMAND ${CMAKE_COMMAND} -E false)
endif()
