# Turns the UTF-8 texts of app/ui_texts.h into #defines the resource compiler can read, so
# the menu and dialog templates show the same texts as the code without spelling them again.
#   cmake -DINPUT=app/ui_texts.h -DOUTPUT=ui_texts_rc.h -P rc_texts.cmake
file(STRINGS "${INPUT}" lines ENCODING UTF-8
     REGEX "inline constexpr std::string_view k[A-Za-z0-9]+ = \".*\";")
set(content "/* Made from app/ui_texts.h at build time; do not edit. */\n")
foreach(line IN LISTS lines)
  string(REGEX REPLACE ".*std::string_view (k[A-Za-z0-9]+) = (\".*\");.*" "#define UI_TEXT_\\1 \\2"
         define "${line}")
  string(APPEND content "${define}\n")
endforeach()
file(CONFIGURE OUTPUT "${OUTPUT}" CONTENT "${content}" @ONLY)
