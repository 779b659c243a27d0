# Runs wellfit-cli --version (and Wellfit --version and --help when built) and
# compares the printed version with the project's. The test runs without a
# display, as on a build machine: both answers must not need the window system.
foreach(pair "wellfit-cli|${CLI}" "Wellfit|${GUI}")
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 name)
  list(LENGTH pair n)
  if(n LESS 2)
    continue()
  endif()
  list(GET pair 1 program)
  execute_process(COMMAND ${program} --version OUTPUT_VARIABLE out RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0 OR NOT out STREQUAL "${name} ${VERSION}\n")
    message(FATAL_ERROR "${program} --version: status ${rc}, printed \"${out}\"; expected \"${name} ${VERSION}\"")
  endif()
endforeach()

if(GUI)
  execute_process(COMMAND ${GUI} --help OUTPUT_VARIABLE out RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0 OR NOT out MATCHES "Usage: [^\n]*Wellfit [^\n]*\\[project\\]")
    message(FATAL_ERROR "${GUI} --help: status ${rc}, printed \"${out}\"")
  endif()
endif()
