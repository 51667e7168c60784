# Installs the build into a scratch prefix and runs the installed quelta-cli
# from another folder: it must start, write its files, and load none of its
# libraries from the build tree. Run by CTest (test InstallTree.CliRunsOutsideTheBuildTree):
#   cmake -DBUILD_DIR=<build> -DSCRATCH=<folder> -P QueltaInstallCheck.cmake
foreach(var BUILD_DIR SCRATCH)
  if(NOT ${var})
    message(FATAL_ERROR "${var} is not set")
  endif()
endforeach()

set(prefix ${SCRATCH}/prefix)
set(work ${SCRATCH}/work)
file(REMOVE_RECURSE ${SCRATCH})
file(MAKE_DIRECTORY ${work})

function(run)
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY ${work}
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "failed (${rc}): ${ARGN}\n${out}\n${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()

run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
set(cli ${prefix}/bin/quelta-cli)
run(${cli} --help)
run(${cli} model -d out --name m)
foreach(hkl 111 200 220)
  if(NOT EXISTS ${work}/out/m_${hkl}.HPF)
    message(FATAL_ERROR "installed quelta-cli did not write out/m_${hkl}.HPF")
  endif()
endforeach()

# Every library of ours must resolve inside the prefix.
file(GLOB binaries ${prefix}/bin/* ${prefix}/lib/quelta/*.so)
foreach(binary IN LISTS binaries)
  run(ldd ${binary})
  string(FIND "${out}" "${BUILD_DIR}/lib/" inBuildTree)
  if(NOT inBuildTree EQUAL -1 OR out MATCHES "not found")
    message(FATAL_ERROR "${binary} does not resolve its libraries in the prefix:\n${out}")
  endif()
endforeach()
file(REMOVE_RECURSE ${SCRATCH})
