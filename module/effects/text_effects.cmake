target_sources(sorvanel_effects PRIVATE ${CMAKE_CURRENT_LIST_DIR}/text_pending.cpp)
