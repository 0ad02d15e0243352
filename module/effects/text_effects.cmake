# The outline text, its font layer (fontconfig, FreeType, GLU tessellator), the
# text effects and the wave-text line tables. The tables' texts come from
# content/texts, scrambled at build time into a generated source.
set(LINE_TABLES_SOURCE ${CMAKE_BINARY_DIR}/generated/line_tables_data.cpp)
set_source_files_properties(${LINE_TABLES_SOURCE} PROPERTIES GENERATED TRUE)
target_sources(sorvanel_effects PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/font_face.cpp
    ${CMAKE_CURRENT_LIST_DIR}/font_outlines.cpp
    ${CMAKE_CURRENT_LIST_DIR}/glyph_lists.cpp
    ${CMAKE_CURRENT_LIST_DIR}/glyph_tessellator.cpp
    ${CMAKE_CURRENT_LIST_DIR}/line_tables.cpp
    ${CMAKE_CURRENT_LIST_DIR}/outline_text.cpp
    ${CMAKE_CURRENT_LIST_DIR}/text_effects.cpp
    ${CMAKE_CURRENT_LIST_DIR}/windows_1252.cpp
    ${LINE_TABLES_SOURCE})
target_link_libraries(sorvanel_effects PRIVATE Freetype::Freetype Fontconfig::Fontconfig)
add_dependencies(sorvanel_effects line_tables)
