# The mesh figures, swarms and circles, the sprite burst with the module's
# random generator, and the full-screen panel.
target_sources(sorvanel_effects PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/mesh_effects.cpp
    ${CMAKE_CURRENT_LIST_DIR}/sprite_burst.cpp
    ${CMAKE_CURRENT_LIST_DIR}/random_generator.cpp
    ${CMAKE_CURRENT_LIST_DIR}/full_screen_panel.cpp)
