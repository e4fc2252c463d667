# Checks the include layering of the source tree: cmake -DROOT=<tree> -P LayerCheck.cmake
#
# Every source folder is one library and sits on one layer. A file may include headers of
# its own library and of libraries on lower layers only, so no include points up and no
# two libraries of one layer (two areas) reach into each other. The libraries that need no
# window (the model layers) never include wx, directly or through a project header.
# Text tables (resources/<area>/*Strings.h) include nothing and may be used from any layer.
# Prints every offending include and fails when there is one.

cmake_policy(VERSION 3.25)

if(NOT ROOT)
  message(FATAL_ERROR "LayerCheck: set ROOT to the source tree")
endif()

# folder;layer;library. Folders of one library share its name (the image library and
# its codecs and operations include each other).
set(layers
  "platform;0;lf_platform"
  "image;1;lf_image" "image/codecs;1;lf_image" "image/ops;1;lf_image"
  "net;1;lf_net"
  "controls/model;2;lf_controls_model"
  "graphictext/model;2;lf_graphictext_model"
  "manager/model;2;lf_manager_model"
  "editor/model;2;lf_editor_model"
  "batch/model;3;lf_batch_model"
  "print/model;3;lf_print_model"
  "upload/model;3;lf_upload_model"
  "platform/gui;4;lf_platform_gui"
  "image/gui;4;lf_image_gui"
  "controls;5;lf_controls"
  "resources/manager;6;lf_resources_manager"
  "resources/editor;6;lf_resources_editor"
  "resources/print;6;lf_resources_print"
  "graphictext/ui;7;lf_graphictext"
  "manager/ui;8;lf_manager"
  "editor/ui;8;lf_editor"
  "batch/ui;9;lf_batch"
  "print/ui;9;lf_print"
  "upload/ui;9;lf_upload"
  "purgetool;10;purgetool"
  "apps/quorix;10;quorix"
  "apps/pixoro;10;pixoro")
# The layers below this one need no window toolkit.
set(last_model_layer 3)

function(layer_of folder out_layer out_library)
  set(${out_layer} "" PARENT_SCOPE)
  set(${out_library} "" PARENT_SCOPE)
  set(i 0)
  list(LENGTH layers n)
  while(i LESS n)
    list(GET layers ${i} f)
    math(EXPR j "${i} + 1")
    list(GET layers ${j} l)
    math(EXPR k "${i} + 2")
    list(GET layers ${k} lib)
    if(f STREQUAL folder)
      set(${out_layer} ${l} PARENT_SCOPE)
      set(${out_library} ${lib} PARENT_SCOPE)
      return()
    endif()
    math(EXPR i "${i} + 3")
  endwhile()
endfunction()

file(GLOB_RECURSE sources RELATIVE ${ROOT} ${ROOT}/*.h ${ROOT}/*.cpp)
set(problems "")
set(project_headers "")
foreach(source IN LISTS sources)
  if(source MATCHES "^(build|tests|bench|fuzz|\\.git)/")
    continue()
  endif()
  get_filename_component(folder ${source} DIRECTORY)
  layer_of("${folder}" from_layer from_library)
  if(from_layer STREQUAL "")
    string(APPEND problems "  ${source}: its folder '${folder}' is on no layer\n")
    continue()
  endif()
  file(STRINGS ${ROOT}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
  set(direct_wx FALSE)
  set(quoted "")
  foreach(line IN LISTS includes)
    if(line MATCHES "<wx/")
      set(direct_wx TRUE)
    elseif(line MATCHES "\"([^\"]+)\"")
      list(APPEND quoted ${CMAKE_MATCH_1})
    endif()
  endforeach()
  set(wx_${source} ${direct_wx})
  set(inc_${source} ${quoted})
  list(APPEND project_headers ${source})
  foreach(target IN LISTS quoted)
    if(NOT EXISTS ${ROOT}/${target})
      continue()  # a generated or system header
    endif()
    if(target MATCHES "^resources/[^/]+/[^/]*Strings\\.h$")
      continue()
    endif()
    get_filename_component(to_folder ${target} DIRECTORY)
    layer_of("${to_folder}" to_layer to_library)
    if(to_layer STREQUAL "" OR to_library STREQUAL from_library)
      continue()
    endif()
    if(NOT to_layer LESS from_layer)
      string(APPEND problems "  ${source} (${from_library}, layer ${from_layer}) includes ${target} (${to_library}, layer ${to_layer})\n")
    endif()
  endforeach()
endforeach()

# wx reached from a model layer, through any chain of project headers.
foreach(source IN LISTS project_headers)
  get_filename_component(folder ${source} DIRECTORY)
  layer_of("${folder}" layer library)
  if(layer GREATER last_model_layer)
    continue()
  endif()
  set(seen "")
  set(queue ${source})
  set(chain_found "")
  while(queue)
    list(POP_FRONT queue current)
    if(current IN_LIST seen)
      continue()
    endif()
    list(APPEND seen ${current})
    if(wx_${current})
      set(chain_found ${current})
      break()
    endif()
    foreach(next IN LISTS inc_${current})
      if(DEFINED wx_${next})
        list(APPEND queue ${next})
      endif()
    endforeach()
  endwhile()
  if(chain_found)
    string(APPEND problems "  ${source} (${library}, needs no window) reaches wx through ${chain_found}\n")
  endif()
endforeach()

if(problems)
  message(FATAL_ERROR "Includes against the layers:\n${problems}")
endif()
message(STATUS "Layers hold: every include points to the same library or below")
