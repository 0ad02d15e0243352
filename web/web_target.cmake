# The native build's `web` target: builds the show for a web browser into
# build/web/, a static folder any web server can host. It configures and
# builds web/ with Debian's Emscripten as a build tree of its own
# (build/web-build/), and makes the page's song from this build: the
# samples a capture of the song carries, in Ogg Vorbis pieces (make_song.sh).
# Not part of `all`: it needs the emscripten package (scripts/setup.sh --web).
find_program(SORVANEL_EMCMAKE emcmake)
set(SORVANEL_SITE ${CMAKE_BINARY_DIR}/web)
set(SORVANEL_SITE_SONG ${SORVANEL_SITE}/song/index.json)

add_custom_command(
    OUTPUT ${SORVANEL_SITE_SONG}
    COMMAND ${PROJECT_SOURCE_DIR}/launcher/web/make_song.sh $<TARGET_FILE:talvenor>
            ${CMAKE_BINARY_DIR} ${SORVANEL_SITE}/song
    DEPENDS talvenor sorvanel_module ${SORVANEL_SONG} ${PROJECT_SOURCE_DIR}/launcher/web/make_song.sh
    COMMENT "Making the page's song from a capture of it"
    VERBATIM)

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
        DEPENDS ${SORVANEL_SITE_SONG} content_glyphs sorvanel_pictures content_banner content_meshes
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
