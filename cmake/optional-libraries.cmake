# The libraries some features need, looked for on every platform. A feature whose library is
# not found is left out: the programs then leave it out of their help and refuse it with one
# line. Each feature can also be left out on purpose (-DPIXORALE_WAV=OFF...).
option(PIXORALE_PNG "Read PNG pictures in the converter, if libspng is found" ON)
option(PIXORALE_JPEG "Read JPEG pictures in the converter, if libjpeg is found" ON)
option(PIXORALE_WAV "Write WAV files in the converter, if FluidSynth is found" ON)
option(PIXORALE_PIANO_ROLL "Draw piano rolls in the converter, if Cairo is found" ON)

find_package(PkgConfig QUIET)

# pixorale_find_module(FEATURE MODULE WHAT): FEATURE stays ON when pkg-config knows MODULE,
# whose imported target is then PkgConfig::<MODULE in capitals>.
function(pixorale_find_module feature module what)
  string(TOUPPER ${module} prefix)
  if(${feature} AND PKG_CONFIG_FOUND)
    pkg_check_modules(${prefix} QUIET IMPORTED_TARGET GLOBAL ${module})
  endif()
  if(${feature} AND ${prefix}_FOUND)
    message(STATUS "${what}: yes (${module} ${${prefix}_VERSION})")
  else()
    message(STATUS "${what}: no (${module} ${${feature}_REASON})")
    set(${feature} OFF PARENT_SCOPE)
  endif()
endfunction()

foreach(feature PIXORALE_PNG PIXORALE_JPEG PIXORALE_WAV PIXORALE_PIANO_ROLL)
  if(${feature})
    set(${feature}_REASON "not found")
  else()
    set(${feature}_REASON "left out")
  endif()
endforeach()
pixorale_find_module(PIXORALE_PNG spng "PNG input")
if(PIXORALE_JPEG)
  find_package(JPEG QUIET)
endif()
if(PIXORALE_JPEG AND JPEG_FOUND)
  message(STATUS "JPEG input: yes (libjpeg ${JPEG_VERSION})")
else()
  message(STATUS "JPEG input: no (libjpeg ${PIXORALE_JPEG_REASON})")
  set(PIXORALE_JPEG OFF)
endif()
pixorale_find_module(PIXORALE_WAV fluidsynth "WAV output")
pixorale_find_module(PIXORALE_PIANO_ROLL cairo "Piano roll output")

