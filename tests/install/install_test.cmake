# Installs the build into a temporary prefix, moves the prefix elsewhere and
# runs the installed torvex-run from an unrelated directory: the gas data
# must come from the moved prefix, never from the source tree.
#   cmake -DBUILD_DIR=... -DGUI=ON|OFF [-DPYTHON=...] -P install_test.cmake
include(${CMAKE_CURRENT_LIST_DIR}/install_checks.cmake)

make_work_dir()
file(MAKE_DIRECTORY ${WORK_DIR}/elsewhere ${WORK_DIR}/variant)
run_checked(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${WORK_DIR}/first)
file(RENAME ${WORK_DIR}/first ${WORK_DIR}/moved)
set(prefix ${WORK_DIR}/moved)

check_installed_files(${prefix} ${GUI})
check_variant_runs(${prefix}/bin/torvex-run ${WORK_DIR}/variant ${WORK_DIR}/elsewhere)
check_spray_runs(${prefix}/bin/kavel-run ${WORK_DIR}/variant ${WORK_DIR}/elsewhere)
check_python_module(${prefix} ${WORK_DIR}/elsewhere)

# Without its table in the prefix the run is refused and says where it looked.
file(REMOVE ${prefix}/share/torvex/ar.dat ${WORK_DIR}/variant/ar.dat)
execute_process(COMMAND ${prefix}/bin/torvex-run --no-progress ${WORK_DIR}/variant
                WORKING_DIRECTORY ${WORK_DIR}/elsewhere
                RESULT_VARIABLE status ERROR_VARIABLE message)
if(NOT status EQUAL 2 OR NOT message MATCHES "ar\\.dat.*${prefix}/share/torvex")
  message(FATAL_ERROR "missing gas table: exit ${status}, message: ${message}")
endif()
if(PYTHON)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env PYTHONPATH=${prefix}/lib/python3/dist-packages ${PYTHON} -c
                          "import torvex\ntorvex.run(torvex.Variant('argon', 8, 14, 500, 35))"
                  WORKING_DIRECTORY ${WORK_DIR}/elsewhere RESULT_VARIABLE status ERROR_VARIABLE message)
  if(NOT message MATCHES "BadInput: The gas property file ar\\.dat.*${prefix}/share/torvex")
    message(FATAL_ERROR "missing gas table, Python module: exit ${status}, message: ${message}")
  endif()
endif()
file(REMOVE_RECURSE ${WORK_DIR})
