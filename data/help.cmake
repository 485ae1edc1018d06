# The help page the about box links to: program folder + docs\index.html.
add_custom_command(OUTPUT ${LEX_DIST}/docs/index.html
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_LIST_DIR}/help/index.html ${LEX_DIST}/docs/index.html
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/help/index.html
  COMMENT "Shipping the help page")
add_custom_target(shipped_help ALL DEPENDS ${LEX_DIST}/docs/index.html)
