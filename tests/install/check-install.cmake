# Installs a build tree into a fresh prefix, builds the consumer against the installed
# package alone and runs it. Run with cmake -P; the calling test passes the variables below.

foreach(var BUILD_DIR SOURCE_DIR WORK_DIR CONSUMER_DIR QT_MAJOR LIBDIR CONFIG CXX_COMPILER GENERATOR)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "check-install.cmake: ${var} is not set")
    endif()
endforeach()

function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        string(REPLACE ";" " " command "${ARGN}")
        message(FATAL_ERROR "failed (${result}): ${command}")
    endif()
endfunction()

set(prefix "${WORK_DIR}/prefix")
file(REMOVE_RECURSE "${WORK_DIR}")

run("${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${prefix}" --config "${CONFIG}")

foreach(header zvrviewmodel/settingresultdata.h zvrviewmodel/devicetablemodel.h macscanbll/macscan.h)
    if(NOT EXISTS "${prefix}/include/${header}")
        message(FATAL_ERROR "not installed: include/${header}")
    endif()
endforeach()

# The package must stand on its own: no path back into the source or build tree.
file(GLOB package_files "${prefix}/${LIBDIR}/cmake/zvrviewmodel/*.cmake")
if(NOT package_files)
    message(FATAL_ERROR "no CMake package under ${prefix}/${LIBDIR}/cmake/zvrviewmodel")
endif()
foreach(file IN LISTS package_files)
    file(READ "${file}" content)
    foreach(tree "${SOURCE_DIR}" "${BUILD_DIR}")
        string(FIND "${content}" "${tree}" at)
        if(NOT at EQUAL -1)
            message(FATAL_ERROR "${file} refers to ${tree}")
        endif()
    endforeach()
endforeach()

set(consumer_build "${WORK_DIR}/build")
run("${CMAKE_COMMAND}" -S "${CONSUMER_DIR}" -B "${consumer_build}" -G "${GENERATOR}"
    "-DCMAKE_PREFIX_PATH=${prefix}"
    "-DZVR_QT_MAJOR=${QT_MAJOR}"
    "-DQt${QT_MAJOR}_DIR=${QT_DIR}"
    "-DCMAKE_BUILD_TYPE=${CONFIG}"
    "-DCMAKE_CXX_COMPILER=${CXX_COMPILER}"
    "-DCMAKE_CXX_FLAGS=${CXX_FLAGS}"
    "-DCMAKE_EXE_LINKER_FLAGS=${CXX_FLAGS}")
run("${CMAKE_COMMAND}" --build "${consumer_build}" --config "${CONFIG}")

set(library_path "${prefix}/${LIBDIR}")
if(DEFINED ENV{LD_LIBRARY_PATH} AND NOT "$ENV{LD_LIBRARY_PATH}" STREQUAL "")
    string(APPEND library_path ":$ENV{LD_LIBRARY_PATH}")
endif()
run("${CMAKE_COMMAND}" -E env "LD_LIBRARY_PATH=${library_path}" "${consumer_build}/consumer")
