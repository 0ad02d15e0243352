target_sources(sorvanel_effects PRIVATE ${CMAKE_CURRENT_LIST_DIR}/mesh_effects_pending.cpp)
