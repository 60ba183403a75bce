# Builds the Debian package, checks its control data and contents, unpacks
# it into a scratch root and runs the unpacked torvex-run on a variant.
#   cmake -DBUILD_DIR=... -DCPACK=... -DGUI=ON|OFF [-DPYTHON=...] -P package_test.cmake
include(${CMAKE_CURRENT_LIST_DIR}/install_checks.cmake)

make_work_dir()
file(MAKE_DIRECTORY ${WORK_DIR}/elsewhere ${WORK_DIR}/variant)
run_checked(${CPACK} --config ${BUILD_DIR}/CPackConfig.cmake -G DEB -B ${WORK_DIR}/package)
file(GLOB deb ${WORK_DIR}/package/torvex_*.deb)
if(NOT deb)
  message(FATAL_ERROR "cpack made no torvex_*.deb in ${WORK_DIR}/package")
endif()

execute_process(COMMAND dpkg-deb --field ${deb} Depends OUTPUT_VARIABLE depends RESULT_VARIABLE status)
# dpkg-shlibdeps found the C++ runtime (and Qt for the desktop program).
set(needed libc6 libstdc\\+\\+6 fonts-liberation2)
if(GUI)
  list(APPEND needed libqt6widgets6 libqt6gui6 libqt6core6 libqt6printsupport6)
endif()
foreach(package ${needed})
  if(NOT depends MATCHES "(^|[ ,])${package}( |,|$)")
    message(FATAL_ERROR "Depends lacks ${package}: ${depends}")
  endif()
endforeach()

run_checked(dpkg-deb -x ${deb} ${WORK_DIR}/root)
check_installed_files(${WORK_DIR}/root/usr ${GUI})
check_variant_runs(${WORK_DIR}/root/usr/bin/torvex-run ${WORK_DIR}/variant ${WORK_DIR}/elsewhere)
check_spray_runs(${WORK_DIR}/root/usr/bin/kavel-run ${WORK_DIR}/variant ${WORK_DIR}/elsewhere)
check_python_module(${WORK_DIR}/root/usr ${WORK_DIR}/elsewhere)
file(REMOVE_RECURSE ${WORK_DIR})
