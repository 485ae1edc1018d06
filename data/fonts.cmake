# The phonetic font "DFPhonetic" (Fonts/DFHGWPRN.TTF) and the licence that travels
# with it, made by the native lexfont tool from Charis SIL, a font with a full set of
# IPA glyphs under the SIL Open Font License. The font's codes follow the phonetic
# code table in src/dictionary/phonetic_table.cpp.
set(LEX_FONT_SOURCE /usr/share/fonts/truetype/charis/CharisSIL-Regular.ttf
    CACHE FILEPATH "TrueType font with IPA glyphs that DFPhonetic is made from")
set(LEX_FONT_COPYRIGHT /usr/share/doc/fonts-sil-charis/copyright
    CACHE FILEPATH "Debian copyright file holding that font's notices and licence")
set(LEX_FONT_ORIGIN "Debian package fonts-sil-charis")

set(lex_font ${LEX_DIST}/Fonts/DFHGWPRN.TTF)
set(lex_font_licence ${LEX_DIST}/Fonts/DFPhonetic-OFL.txt)
add_custom_command(
  OUTPUT ${lex_font} ${lex_font_licence}
  COMMAND ${LEX_HOST_TOOLS}/lexfont
          --source ${LEX_FONT_SOURCE} --output ${lex_font}
          --licence-from ${LEX_FONT_COPYRIGHT} --licence-output ${lex_font_licence}
          --origin ${LEX_FONT_ORIGIN}
  DEPENDS ${LEX_HOST_TOOLS}/lexfont ${LEX_FONT_SOURCE} ${LEX_FONT_COPYRIGHT}
  COMMENT "Building the phonetic font DFPhonetic"
  VERBATIM)
add_custom_target(phonetic_font ALL DEPENDS ${lex_font} ${lex_font_licence})
