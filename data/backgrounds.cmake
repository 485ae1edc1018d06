# Background pictures for the main bar (Backgrounds/*.bmp), painted by the native lexart
# tool from the descriptions in backgrounds/*.art. The user picks one on the interface
# settings page.
file(MAKE_DIRECTORY ${LEX_DIST}/Backgrounds)
file(GLOB lex_background_art CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/backgrounds/*.art)
set(lex_backgrounds "")
foreach(source IN LISTS lex_background_art)
  get_filename_component(stem ${source} NAME_WE)
  set(output ${LEX_DIST}/Backgrounds/${stem}.bmp)
  add_custom_command(OUTPUT ${output}
    COMMAND ${LEX_HOST_TOOLS}/lexart ${source} ${output}
    DEPENDS ${source} ${LEX_HOST_TOOLS}/lexart
    COMMENT "Painting Backgrounds/${stem}.bmp"
    VERBATIM)
  list(APPEND lex_backgrounds ${output})
endforeach()
add_custom_target(backgrounds ALL DEPENDS ${lex_backgrounds})
