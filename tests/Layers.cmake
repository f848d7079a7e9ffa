# The arrows between libraries: a library includes headers only of the libraries it links (src/CMakeLists.txt's
# vorna_library lines, followed transitively), and no private header (`_p.h`) of another library; a library
# drawn in layers (a `set(<library>_layers ...)` line there) has no sub-folder include a later one. Run by ctest:
#   cmake -DSOURCE_DIR=<repository> -P tests/Layers.cmake
# An include is checked when it names its folder ("folder/Header.h", "folder/sub/Header_p.h"); a header of the
# same folder named without its folder is always fine.
cmake_minimum_required(VERSION 3.25)

# Each library with the libraries it links directly.
file(STRINGS ${SOURCE_DIR}/src/CMakeLists.txt declarations REGEX "^[ \t]*vorna_library[ \t]*\\(")
set(libraries "")
foreach(line ${declarations})
  string(REGEX REPLACE "^[ \t]*vorna_library[ \t]*\\(([^)]*)\\).*$" "\\1" arguments "${line}")
  separate_arguments(arguments)
  list(POP_FRONT arguments library folder)
  list(APPEND libraries ${library})
  set(folder_${library} ${folder})
  set(library_in_${folder} ${library})
  set(links_${library} ${arguments})
endforeach()

# Libraries drawn in layers: their sub-folders, bottom-up.
file(STRINGS ${SOURCE_DIR}/src/CMakeLists.txt layer_lines REGEX "^[ \t]*set[ \t]*\\([a-z]+_layers ")
foreach(line ${layer_lines})
  string(REGEX REPLACE "^[ \t]*set[ \t]*\\(([a-z]+)_layers ([^)]*)\\).*$" "\\1;\\2" parts "${line}")
  list(POP_FRONT parts library)
  separate_arguments(parts)
  set(layers_${library} ${parts})
endforeach()

# What each library may include: itself and everything it links, at any depth.
foreach(library ${libraries})
  set(reach ${library})
  set(pending ${links_${library}})
  while(pending)
    list(POP_FRONT pending next)
    if(next IN_LIST libraries AND NOT next IN_LIST reach)
      list(APPEND reach ${next})
      list(APPEND pending ${links_${next}})
    endif()
  endwhile()
  set(reach_${library} ${reach})
endforeach()

set(faults "")
foreach(library ${libraries})
  file(GLOB_RECURSE files ${SOURCE_DIR}/src/${folder_${library}}/*.cpp ${SOURCE_DIR}/src/${folder_${library}}/*.h)
  foreach(file ${files})
    file(STRINGS ${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"]*/")
    file(RELATIVE_PATH shown ${SOURCE_DIR} ${file})
    foreach(line ${includes})
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*$" "\\1" header "${line}")
      string(REGEX REPLACE "/.*$" "" folder "${header}")
      set(owner "${library_in_${folder}}")
      if(NOT owner)
        string(APPEND faults "\n  ${shown}: ${header} (not the folder of a library)")
      elseif(NOT owner IN_LIST reach_${library})
        string(APPEND faults "\n  ${shown}: ${header} (${library} does not link ${owner})")
      elseif(NOT owner STREQUAL library AND header MATCHES "_p\\.h$")
        string(APPEND faults "\n  ${shown}: ${header} (private to ${owner})")
      elseif(owner STREQUAL library AND layers_${library})
        # A sub-folder of a layered library includes no header of a later layer.
        string(REGEX REPLACE "^src/${folder_${library}}/([^/]*)/.*$" "\\1" from "${shown}")
        string(REGEX REPLACE "^[^/]*/([^/]*)/.*$" "\\1" to "${header}")
        list(FIND layers_${library} "${from}" from_layer)
        list(FIND layers_${library} "${to}" to_layer)
        if(from_layer GREATER -1 AND to_layer GREATER from_layer)
          string(APPEND faults "\n  ${shown}: ${header} (${to} is a later layer than ${from})")
        endif()
      endif()
    endforeach()
  endforeach()
endforeach()

if(faults)
  message(FATAL_ERROR "Includes across the libraries' layers:${faults}")
endif()
