# The glyphs without OpenGL: glyphs.bin's format and the extrusion
# (sorvanel_glyph_data), and the font layer that cuts the letters from a font:
# the heavy face lookup (fontconfig), the outlines (FreeType) and the cap
# tessellation (GLU). The GL11 module cuts its letters at start-up; the
# content tool make_glyphs writes them into glyphs.bin for the ES3 build.
add_library(sorvanel_glyph_data STATIC
    ${CMAKE_CURRENT_LIST_DIR}/glyph_geometry.cpp
    ${CMAKE_CURRENT_LIST_DIR}/glyph_file.cpp)
target_include_directories(sorvanel_glyph_data PUBLIC ${SORVANEL_SOURCE_DIR}/module)

if(SORVANEL_PLATFORM STREQUAL "desktop")
    add_library(sorvanel_font_layer STATIC EXCLUDE_FROM_ALL
        ${CMAKE_CURRENT_LIST_DIR}/font_face.cpp
        ${CMAKE_CURRENT_LIST_DIR}/font_outlines.cpp
        ${CMAKE_CURRENT_LIST_DIR}/glyph_tessellator.cpp
        ${CMAKE_CURRENT_LIST_DIR}/glyph_cutter.cpp
        ${CMAKE_CURRENT_LIST_DIR}/windows_1252.cpp)
    target_link_libraries(sorvanel_font_layer
        PUBLIC sorvanel_glyph_data
        PRIVATE Freetype::Freetype Fontconfig::Fontconfig PkgConfig::GLU)
endif()
