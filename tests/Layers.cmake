# The lower libraries include no header of a library above them. Run by ctest:
#   cmake -DSOURCE_DIR=<repository> -P tests/Layers.cmake
# Each checked folder lists what it may include ("folder/Header.h"); a header of the same folder named
# without its folder is always fine.
cmake_minimum_required(VERSION 3.25)

set(allowed_runtime runtime)
set(allowed_sqlbase sqlbase runtime)
set(allowed_sqlserver sqlserver sqlbase runtime)
set(allowed_ado ado sqlserver sqlbase runtime)
set(allowed_core core ado sqlserver sqlbase runtime)
set(allowed_reportengine reportengine ado sqlserver sqlbase runtime)
set(allowed_scripting scripting runtime)
set(allowed_desktop desktop reportengine core ado sqlserver sqlbase runtime)

set(faults "")
foreach(library runtime sqlbase sqlserver ado core reportengine scripting desktop)
  file(GLOB files ${SOURCE_DIR}/src/${library}/*.cpp ${SOURCE_DIR}/src/${library}/*.h)
  foreach(file ${files})
    file(STRINGS ${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"]*/")
    foreach(line ${includes})
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"/]*)/.*$" "\\1" folder "${line}")
      if(NOT folder IN_LIST allowed_${library})
        file(RELATIVE_PATH shown ${SOURCE_DIR} ${file})
        string(APPEND faults "\n  ${shown}: ${line}")
      endif()
    endforeach()
  endforeach()
endforeach()

if(faults)
  message(FATAL_ERROR "Headers of a higher library included from a lower one:${faults}")
endif()
