# lf_embed_resource(target NAME name TYPE type FILE path): embeds the file's bytes
# in the target as a program resource that lfimg::FindResource finds by name and
# type (the image library must be linked). The generated source joins the
# target itself, so the linker cannot drop its registration.
function(lf_embed_resource target)
  cmake_parse_arguments(R "" "NAME;TYPE;FILE" "" ${ARGN})
  file(READ ${R_FILE} hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," LF_RESOURCE_BYTES "${hex}")
  set(LF_RESOURCE_NAME "${R_NAME}")
  set(LF_RESOURCE_TYPE "${R_TYPE}")
  string(MAKE_C_IDENTIFIER "${target}_${R_TYPE}_${R_NAME}" id)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/resources/${id}.cpp)
  file(CONFIGURE OUTPUT ${out} CONTENT [=[
// Generated from @R_FILE@ by lf_embed_resource.
#include "image/LfResources.h"

namespace {
const uint8_t kBytes[] = {@LF_RESOURCE_BYTES@};
const lfimg::Resource kResource{"@LF_RESOURCE_NAME@", "@LF_RESOURCE_TYPE@", kBytes, sizeof kBytes};
const lfimg::ResourceRegistration kRegistration(kResource);
}  // namespace
]=] @ONLY)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${R_FILE})
  target_sources(${target} PRIVATE ${out})
endfunction()
