# The shipped first-run settings: a pristine copy with Windows line ends in the build
# folder (the end-to-end tests start from it), copied into the program folder. Once
# Lexorin has run and updated its copy, a rebuild leaves that copy alone unless the
# shipped look itself changed.
set(LEX_PRISTINE_INI ${CMAKE_BINARY_DIR}/data/Lexorin.ini)
configure_file(${CMAKE_CURRENT_LIST_DIR}/settings/Lexorin.ini ${LEX_PRISTINE_INI} @ONLY NEWLINE_STYLE CRLF)
add_custom_command(OUTPUT ${LEX_DIST}/Lexorin.ini
  COMMAND ${CMAKE_COMMAND} -E copy ${LEX_PRISTINE_INI} ${LEX_DIST}/Lexorin.ini
  DEPENDS ${LEX_PRISTINE_INI}
  COMMENT "Shipping the first-run Lexorin.ini")
add_custom_target(shipped_settings ALL DEPENDS ${LEX_DIST}/Lexorin.ini)
