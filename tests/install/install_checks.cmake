# Checks shared by the install and package tests.

# WORK_DIR: a fresh folder outside the build tree (an executable inside the
# build tree may read the source tree's data, an installed one must not).
macro(make_work_dir)
  if(DEFINED ENV{TMPDIR})
    set(WORK_DIR $ENV{TMPDIR})
  else()
    set(WORK_DIR /tmp)
  endif()
  string(RANDOM LENGTH 10 suffix)
  set(WORK_DIR ${WORK_DIR}/torvex-install-test-${suffix})
  file(MAKE_DIRECTORY ${WORK_DIR})
endmacro()

# Runs a command; fails the test with its output when it does not exit 0.
function(run_checked)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${ARGN}\nexit ${status}\n${out}\n${err}")
  endif()
endfunction()

# The files an installed TORVEX needs where desktops and man look for them.
function(check_installed_files prefix gui)
  set(expected bin/torvex-run bin/kavel-run share/torvex/README.md share/torvex/materials.csv
      share/man/man1/torvex-run.1.gz share/man/man1/kavel-run.1.gz)
  foreach(table ar n2 ah205 ah210 ah215 ah220 ah225 ahe10 ahe20 ahe30 ahe40 ahe50)
    list(APPEND expected share/torvex/${table}.dat)
  endforeach()
  if(gui)
    list(APPEND expected bin/torvex bin/kavel share/torvex/Torvex.hlp share/man/man1/torvex.1.gz
         share/applications/torvex.desktop share/icons/hicolor/scalable/apps/torvex.svg)
    foreach(size 16 22 24 32 48 64 128 256)
      list(APPEND expected share/icons/hicolor/${size}x${size}/apps/torvex.png)
    endforeach()
  endif()
  foreach(file ${expected})
    if(NOT EXISTS ${prefix}/${file})
      message(FATAL_ERROR "not installed: ${prefix}/${file}")
    endif()
  endforeach()
  find_program(validate desktop-file-validate)
  if(gui AND validate)
    run_checked(${validate} ${prefix}/share/applications/torvex.desktop)
  endif()
endfunction()

# A whole argon variant in `variant`, started from `cwd`: exit 0 and the
# result set written.
function(check_variant_runs executable variant cwd)
  execute_process(COMMAND ${executable} --gas 1 --diameter 8 --length 14 --current 500 --flow 35
                          --no-progress ${variant}
                  WORKING_DIRECTORY ${cwd} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0 OR NOT out MATCHES "Arc voltage")
    message(FATAL_ERROR "${executable}: exit ${status}\n${out}\n${err}")
  endif()
  foreach(file iop.par ilt.res ztu0.res rtu0.res rtu100.res ftu.res)
    if(NOT EXISTS ${variant}/${file})
      message(FATAL_ERROR "${executable} wrote no ${file}")
    endif()
  endforeach()
endfunction()

# A few spray particles through that variant's jet with the installed
# materials table: exit 0 and the particle file written.
function(check_spray_runs executable variant cwd)
  execute_process(COMMAND ${executable} --count 20 --threads 1 --no-progress ${variant}
                  WORKING_DIRECTORY ${cwd} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0 OR NOT EXISTS ${variant}/particles.csv)
    message(FATAL_ERROR "${executable}: exit ${status}\n${out}\n${err}")
  endif()
endfunction()

# The Python module of an installed tree (when PYTHON names the interpreter):
# imported from there, it runs a variant and sprays into it with the data of
# that tree, from an unrelated directory.
function(check_python_module prefix cwd)
  if(NOT PYTHON)
    return()
  endif()
  set(script "import torvex\nassert torvex.__file__.startswith('${prefix}'), torvex.__file__\n"
             "r = torvex.run(torvex.Variant('argon', 8, 14, 500, 35))\n"
             "s = torvex.spray(r, count=20)\nassert r.voltage > 0 and s.summary['total'] == 20\n")
  string(CONCAT script ${script})
  execute_process(COMMAND ${CMAKE_COMMAND} -E env PYTHONPATH=${prefix}/lib/python3/dist-packages
                          ${PYTHON} -c "${script}"
                  WORKING_DIRECTORY ${cwd} RESULT_VARIABLE status ERROR_VARIABLE message)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "the installed Python module failed: ${message}")
  endif()
endfunction()
