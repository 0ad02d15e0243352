# Installs the build into a scratch prefix and checks that the desktop entry
# starts the launcher where the module and its data are, and that the
# installed show renders a frame from there.
#   cmake -DBUILD_DIR=... -DPREFIX=... -P check_install.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "install failed: ${result}")
endif()

set(data "${PREFIX}/share/sorvanel")
foreach(file bin/talvenor share/sorvanel/sorvanel.dmd share/sorvanel/morrowen.q7v
             share/sorvanel/Sorvanel.it share/applications/sorvanel.desktop
             share/icons/hicolor/48x48/apps/talvenor.png)
    if(NOT EXISTS "${PREFIX}/${file}")
        message(FATAL_ERROR "not installed: ${file}")
    endif()
endforeach()

file(STRINGS "${PREFIX}/share/applications/sorvanel.desktop" exec REGEX "^Exec=")
file(STRINGS "${PREFIX}/share/applications/sorvanel.desktop" path REGEX "^Path=")
if(NOT exec STREQUAL "Exec=${PREFIX}/bin/talvenor" OR NOT path STREQUAL "Path=${data}")
    message(FATAL_ERROR "desktop entry points elsewhere: ${exec} ${path}")
endif()

# Started as the entry starts it: in the data folder, by the installed launcher.
execute_process(COMMAND "${PREFIX}/bin/talvenor" --shot 30 "${PREFIX}/shot.png" --size 64x48
                WORKING_DIRECTORY "${data}" RESULT_VARIABLE result OUTPUT_QUIET ERROR_QUIET)
if(NOT result EQUAL 0 OR NOT EXISTS "${PREFIX}/shot.png")
    message(FATAL_ERROR "the installed show did not render: ${result}")
endif()
file(REMOVE_RECURSE "${PREFIX}")
