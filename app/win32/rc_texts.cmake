# Turns the UTF-8 texts of app/ui_texts.h into #defines the resource compiler can read, so
# the menu and dialog templates show the same texts as the code without spelling them again.
# The version, which ui_texts.h takes from app/version.h, comes in as VERSION.
#   cmake -DINPUT=app/ui_texts.h -DOUTPUT=ui_texts_rc.h -DVERSION=1.0.0.0 -P rc_texts.cmake
file(STRINGS "${INPUT}" lines ENCODING UTF-8
     REGEX "inline constexpr std::string_view k[A-Za-z0-9]+ = [^;]*;")
set(content "/* Made from app/ui_texts.h at build time; do not edit. */\n")
foreach(line IN LISTS lines)
  string(REGEX REPLACE ".*std::string_view (k[A-Za-z0-9]+) = ([^;]*);.*" "\\1" name "${line}")
  string(REGEX REPLACE ".*std::string_view (k[A-Za-z0-9]+) = ([^;]*);.*" "\\2" value "${line}")
  string(REPLACE "PIXORALE_VERSION" "\"${VERSION}\"" value "${value}")
  string(REPLACE "kProjectVersion" "\"${VERSION}\"" value "${value}")
  # Only texts made of string literals, which the resource compiler joins as C does.
  if(value MATCHES "^(\"[^\"]*\" *)+$")
    string(APPEND content "#define UI_TEXT_${name} ${value}\n")
  endif()
endforeach()
file(CONFIGURE OUTPUT "${OUTPUT}" CONTENT "${content}" @ONLY)
