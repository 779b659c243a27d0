# Checks the floors of the solver's source tree: every #include "folder/..."
# of a file under solver/ must name a folder on the same floor or a lower one.
# Bottom up:
#   0  textio, include (the public wfcore/ headers)
#   1  base      run state, work arrays, unit tables, reporting
#   2  fem, fine, listing   the flow models and the solution listing
#   3  prep, inverse        the mesh, preparation and analysis runs
#   4  entry     wftDLL and the top driver WFRUN
# Within a floor only the arrows listed in WF_SAME_FLOOR may run between two
# folders (the fine model may use the standard model's files, either model
# the listing; the listing uses neither).
#
#   cmake -DSOLVER_DIR=<solver folder> -P solver_floors.cmake
# Exits with an error naming every file and include that breaks the order.
cmake_minimum_required(VERSION 3.25)

if(NOT SOLVER_DIR)
  message(FATAL_ERROR "solver_floors.cmake: SOLVER_DIR names no folder")
endif()

set(WF_FLOOR_textio 0)
set(WF_FLOOR_include 0)
set(WF_FLOOR_base 1)
set(WF_FLOOR_fem 2)
set(WF_FLOOR_fine 2)
set(WF_FLOOR_listing 2)
set(WF_FLOOR_prep 3)
set(WF_FLOOR_inverse 3)
set(WF_FLOOR_entry 4)
set(WF_SAME_FLOOR "fem>listing" "fine>fem" "fine>listing")

file(GLOB_RECURSE sources RELATIVE ${SOLVER_DIR} ${SOLVER_DIR}/*.h ${SOLVER_DIR}/*.cpp)
list(SORT sources)
set(faults "")
set(checked 0)
foreach(source IN LISTS sources)
  string(REGEX MATCH "^[^/]+" from "${source}")
  if(NOT DEFINED WF_FLOOR_${from})
    string(APPEND faults "\n  ${source}: folder ${from} is on no floor")
    continue()
  endif()
  file(STRINGS ${SOLVER_DIR}/${source} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*$" "\\1" target "${line}")
    if(NOT target MATCHES "/")
      continue()  # a header beside the file
    endif()
    string(REGEX MATCH "^[^/]+" to "${target}")
    if(to STREQUAL "wfcore")
      set(to include)
    endif()
    if(NOT DEFINED WF_FLOOR_${to} OR to STREQUAL from)
      continue()
    endif()
    math(EXPR checked "${checked} + 1")
    if(WF_FLOOR_${to} GREATER WF_FLOOR_${from})
      string(APPEND faults "\n  ${source} -> ${target}: floor ${WF_FLOOR_${from}} includes floor ${WF_FLOOR_${to}}")
    elseif(WF_FLOOR_${to} EQUAL WF_FLOOR_${from} AND NOT "${from}>${to}" IN_LIST WF_SAME_FLOOR)
      string(APPEND faults "\n  ${source} -> ${target}: ${from} may not include ${to} on the same floor")
    endif()
  endforeach()
endforeach()

if(faults)
  message(FATAL_ERROR "includes against the solver's floors:${faults}")
endif()
message(STATUS "solver floors: ${checked} includes between folders, all downward")
