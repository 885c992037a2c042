# The game for the browser: grumbol.js, .wasm and .data (the pictures, sounds and movies of GFX
# and the font, preloaded) beside the page, in <build>/site: a static folder any web host can
# serve.
set(GRUMBOL_GFX_DIR ${PROJECT_SOURCE_DIR}/GFX CACHE PATH
  "The GFX folder the page's data is made of (build/bin/make-gfx . makes it)")
# The font the native game finds with fontconfig for "DejaVu Sans:bold".
find_file(GRUMBOL_FONT_FILE DejaVuSans-Bold.ttf PATHS /usr/share/fonts/truetype/dejavu
  NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT GRUMBOL_FONT_FILE)
  message(FATAL_ERROR "DejaVuSans-Bold.ttf is missing (package fonts-dejavu-core)")
endif()
if(NOT EXISTS ${GRUMBOL_GFX_DIR})
  message(FATAL_ERROR "No GFX folder at ${GRUMBOL_GFX_DIR}: make it with build/bin/make-gfx "
    "(./play --web does)")
endif()

set(GRUMBOL_SITE_DIR ${CMAKE_BINARY_DIR}/site)
add_executable(grumbol web_main.cpp)
set_target_properties(grumbol PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${GRUMBOL_SITE_DIR} SUFFIX .js)
target_link_libraries(grumbol PRIVATE grumbol_game grumbol_platform_web grumbol_platform_openal
  grumbol_platform_posix)
# Asyncify lets the game wait (for a frame, a timer, a dialog) while the browser runs on.
# A record file the native game may have left in GFX is left out of the data.
target_link_options(grumbol PRIVATE -sASYNCIFY -sALLOW_MEMORY_GROWTH=1 -sENVIRONMENT=web
  -sEXPORTED_FUNCTIONS=_main,_malloc,_free
  "SHELL:--preload-file ${GRUMBOL_GFX_DIR}@/GFX" "SHELL:--exclude-file *.qzc"
  "SHELL:--preload-file ${GRUMBOL_FONT_FILE}@/fonts/game.ttf")
file(GLOB gfx_files CONFIGURE_DEPENDS ${GRUMBOL_GFX_DIR}/*.qz ${GRUMBOL_GFX_DIR}/*.qzs
  ${GRUMBOL_GFX_DIR}/*.qzm)
set_property(TARGET grumbol APPEND PROPERTY LINK_DEPENDS ${gfx_files})
configure_file(${PROJECT_SOURCE_DIR}/platform/web/index.html ${GRUMBOL_SITE_DIR}/index.html @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/platform/web/manifest.json ${GRUMBOL_SITE_DIR}/manifest.json
  @ONLY)

# The page's icon and those of its manifest (a phone's home screen): the desktop's icons, drawn
# by the native asset maker that made the GFX folder.
set(GRUMBOL_MAKE_GFX ${PROJECT_SOURCE_DIR}/build/bin/make-gfx CACHE FILEPATH
  "The native asset maker, which draws the page's icons (build/bin/make-gfx)")
if(NOT EXISTS ${GRUMBOL_MAKE_GFX})
  message(FATAL_ERROR "No asset maker at ${GRUMBOL_MAKE_GFX} to draw the page's icons: build "
    "it natively (./play --web does)")
endif()
set(page_icon ${GRUMBOL_SITE_DIR}/icons/256x256/apps/${GRUMBOL_APP_ID}.png)
add_custom_command(OUTPUT ${page_icon}
  COMMAND ${GRUMBOL_MAKE_GFX} --icons ${GRUMBOL_SITE_DIR}/icons
  DEPENDS ${GRUMBOL_MAKE_GFX} COMMENT "Drawing the page's icons")
add_custom_target(grumbol_page_icons ALL DEPENDS ${page_icon})
