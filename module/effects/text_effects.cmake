# The outline text, its glyph lists, the text effects and the wave-text line
# tables. The tables' texts come from content/texts, scrambled at build time
# into a generated source. The glyphs come from the font layer at start-up,
# or in the ES3 build, which has no tessellator, from glyphs.bin.
set(LINE_TABLES_SOURCE ${SORVANEL_GENERATED_DIR}/line_tables_data.cpp)
set_source_files_properties(${LINE_TABLES_SOURCE} PROPERTIES GENERATED TRUE)
target_sources(sorvanel_effects PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/glyph_lists.cpp
    ${CMAKE_CURRENT_LIST_DIR}/line_tables.cpp
    ${CMAKE_CURRENT_LIST_DIR}/outline_text.cpp
    ${CMAKE_CURRENT_LIST_DIR}/text_effects.cpp
    ${LINE_TABLES_SOURCE})
if(SORVANEL_GL STREQUAL "ES3")
    target_sources(sorvanel_effects PRIVATE ${CMAKE_CURRENT_LIST_DIR}/glyph_source_file.cpp)
    target_link_libraries(sorvanel_effects PUBLIC sorvanel_glyph_data)
else()
    target_sources(sorvanel_effects PRIVATE ${CMAKE_CURRENT_LIST_DIR}/glyph_source_font.cpp)
    target_link_libraries(sorvanel_effects PUBLIC sorvanel_font_layer)
endif()
if(TARGET line_tables)
    add_dependencies(sorvanel_effects line_tables)
endif()
