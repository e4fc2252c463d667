# Third-party libraries, wrapped in targets of our own.

find_package(Threads REQUIRED)
find_package(PkgConfig REQUIRED)
find_package(ZLIB REQUIRED)
find_package(JPEG REQUIRED)
find_package(PNG REQUIRED)
find_package(TIFF REQUIRED)
find_package(CURL REQUIRED)
pkg_check_modules(OPENJP2 REQUIRED IMPORTED_TARGET libopenjp2)
# The metafile player's renderer: an image surface, fonts through fontconfig and FreeType.
pkg_check_modules(LF_CAIRO REQUIRED IMPORTED_TARGET cairo cairo-ft fontconfig freetype2)

# wxWidgets: FindwxWidgets has no imported target on CMake 3.25 and its variables
# are overwritten by every call, so each flavour is captured into its own target.
function(lf_wrap_wx target)
  add_library(${target} INTERFACE)
  target_include_directories(${target} SYSTEM INTERFACE ${wxWidgets_INCLUDE_DIRS})
  target_compile_definitions(${target} INTERFACE ${wxWidgets_DEFINITIONS} ${ARGN})
  separate_arguments(_flags UNIX_COMMAND "${wxWidgets_CXX_FLAGS}")
  target_compile_options(${target} INTERFACE ${_flags})
  target_link_libraries(${target} INTERFACE ${wxWidgets_LIBRARIES})
endfunction()

# Base only: console programs and code that must not pull in GTK.
find_package(wxWidgets 3.2 REQUIRED COMPONENTS base)
lf_wrap_wx(lf_wx_base wxUSE_GUI=0)
add_library(lf::wx_base ALIAS lf_wx_base)

unset(wxWidgets_LIBRARIES)
unset(wxWidgets_LIBRARIES CACHE)
find_package(wxWidgets 3.2 REQUIRED COMPONENTS html xrc aui adv core base)
lf_wrap_wx(lf_wx_gui)
add_library(lf::wx_gui ALIAS lf_wx_gui)

find_package(GTest REQUIRED)
find_package(benchmark QUIET)
