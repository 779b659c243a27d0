# Whether the Python package can be built: pybind11 (Debian's pybind11-dev)
# and the system's Python 3 with its headers. The system interpreter is taken
# unless Python_EXECUTABLE names another (a pyenv interpreter first on PATH
# has no Debian packages beside it).
if(NOT DEFINED Python_EXECUTABLE AND EXISTS /usr/bin/python3)
  set(Python_EXECUTABLE /usr/bin/python3 CACHE FILEPATH "Python interpreter of the wellfit package")
endif()
set(PYBIND11_FINDPYTHON ON)
find_package(Python 3.9 COMPONENTS Interpreter Development.Module QUIET)
if(Python_FOUND)
  find_package(pybind11 2.6 CONFIG QUIET)
endif()
if(Python_FOUND AND pybind11_FOUND)
  set(WF_PYBIND11_FOUND ON)
else()
  set(WF_PYBIND11_FOUND OFF)
endif()
