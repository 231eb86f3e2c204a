# The monospaced TrueType font the engine draws with, copied beside the game
# as vt-font.ttf: Agave (Debian package fonts-agave, MIT licence), whose
# glyphs at the default 12.8 x 32 pixel cells stay within about a pixel of
# their cell. The same file is built into the library as its built-in font
# (engine/CMakeLists.txt). Sets VINTREL_FONT_FILE (empty when the font is missing).
find_file(VINTREL_FONT_FILE agave-r-autohinted.ttf
  PATHS /usr/share/fonts/truetype/agave /usr/share/fonts/TTF /usr/share/fonts/agave
  NO_DEFAULT_PATH
  DOC "Monospaced TrueType font installed as vt-font.ttf beside the game")
if(NOT VINTREL_FONT_FILE)
  message(WARNING "agave-r-autohinted.ttf not found (package fonts-agave): the library is built without "
    "its built-in font, and games will not start without a font file")
  set(VINTREL_FONT_FILE "")
endif()
