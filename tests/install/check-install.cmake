# Installs a build tree into a fresh prefix, builds the consumer against the installed
# package alone and runs it; then does the same with the Debian packages of the build
# (cpack -G DEB), unpacked into a scratch root. Run with cmake -P; the calling test passes
# the variables below.

foreach(var BUILD_DIR SOURCE_DIR WORK_DIR CONSUMER_DIR QT_MAJOR LIBDIR INCLUDEDIR PACKAGE
            RUNTIME_DEB DEVELOPMENT_DEB CONFIG CXX_COMPILER GENERATOR)
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

file(REMOVE_RECURSE "${WORK_DIR}")

# The installed tree under `prefix` must hold the headers and a package that stands on
# its own: no path back into the source or build tree.
function(check_tree prefix)
    foreach(header zvrviewmodel/settingresultdata.h zvrviewmodel/devicetablemodel.h macscanbll/macscan.h)
        if(NOT EXISTS "${prefix}/${INCLUDEDIR}/${header}")
            message(FATAL_ERROR "not installed: ${INCLUDEDIR}/${header} under ${prefix}")
        endif()
    endforeach()
    file(GLOB package_files "${prefix}/${LIBDIR}/cmake/${PACKAGE}/*.cmake")
    if(NOT package_files)
        message(FATAL_ERROR "no CMake package under ${prefix}/${LIBDIR}/cmake/${PACKAGE}")
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
endfunction()

# Configures and builds the project in `source` against the package under `prefix` alone.
function(build_against prefix source build)
    run("${CMAKE_COMMAND}" -S "${source}" -B "${build}" -G "${GENERATOR}"
        "-DCMAKE_PREFIX_PATH=${prefix}"
        "-DZVR_QT_MAJOR=${QT_MAJOR}"
        "-DQt${QT_MAJOR}_DIR=${QT_DIR}"
        "-DCMAKE_BUILD_TYPE=${CONFIG}"
        "-DCMAKE_CXX_COMPILER=${CXX_COMPILER}"
        "-DCMAKE_CXX_FLAGS=${CXX_FLAGS}"
        "-DCMAKE_EXE_LINKER_FLAGS=${CXX_FLAGS}")
    run("${CMAKE_COMMAND}" --build "${build}" --config "${CONFIG}")
endfunction()

# Builds the consumer against the package under `prefix` alone and runs it.
function(build_consumer prefix name)
    set(consumer_build "${WORK_DIR}/${name}")
    build_against("${prefix}" "${CONSUMER_DIR}" "${consumer_build}")
    set(library_path "${prefix}/${LIBDIR}")
    if(DEFINED ENV{LD_LIBRARY_PATH} AND NOT "$ENV{LD_LIBRARY_PATH}" STREQUAL "")
        string(APPEND library_path ":$ENV{LD_LIBRARY_PATH}")
    endif()
    run("${CMAKE_COMMAND}" -E env "LD_LIBRARY_PATH=${library_path}" "${consumer_build}/consumer")
endfunction()

# A program that uses the device table alone, linked with --as-needed, starts without
# LD_LIBRARY_PATH: its linker dropped the need of macscanbll, which libzvrviewmodel
# finds beside itself through its $ORIGIN run path.
function(build_tableonly prefix name)
    set(tableonly_build "${WORK_DIR}/${name}")
    build_against("${prefix}" "${SOURCE_DIR}/tests/install/tableonly" "${tableonly_build}")
    find_program(READELF readelf)
    if(READELF)
        execute_process(COMMAND "${READELF}" -d "${tableonly_build}/tableonly" OUTPUT_VARIABLE dynamic)
        if(dynamic MATCHES "libmacscanbll")
            message(FATAL_ERROR "tableonly still needs libmacscanbll itself: --as-needed took no effect")
        endif()
    endif()
    run("${CMAKE_COMMAND}" -E env --unset=LD_LIBRARY_PATH "${tableonly_build}/tableonly")
endfunction()

# A prefix outside the system's library paths, with a blank in its name.
set(prefix "${WORK_DIR}/zvr prefix")
run("${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${prefix}" --config "${CONFIG}")
check_tree("${prefix}")
if(QML_DEB AND NOT EXISTS "${prefix}/${QMLDIR}/ZVR/ViewModel/qmldir")
    message(FATAL_ERROR "the QML module is not installed under ${prefix}/${QMLDIR}")
endif()
build_consumer("${prefix}" build)
build_tableonly("${prefix}" build-tableonly)

# The Debian packages: the runtime one holds the two shared libraries and nothing to
# build with, the development one the rest and depends on the runtime one and on Qt's
# development package.
set(debs "${WORK_DIR}/debs")
run("${CMAKE_COMMAND}" -E chdir "${BUILD_DIR}" cpack -G DEB -C "${CONFIG}" -B "${debs}")
set(root "${WORK_DIR}/root")
foreach(component RUNTIME DEVELOPMENT)
    file(GLOB deb "${debs}/${${component}_DEB}_*.deb")
    if(NOT deb)
        message(FATAL_ERROR "cpack made no package ${${component}_DEB} in ${debs}")
    endif()
    execute_process(COMMAND dpkg-deb -f "${deb}" Package Depends
        OUTPUT_VARIABLE fields RESULT_VARIABLE result)
    execute_process(COMMAND dpkg-deb -c "${deb}" OUTPUT_VARIABLE contents)
    message(STATUS "${fields}")
    set(${component}_FIELDS "${fields}")
    set(${component}_CONTENTS "${contents}")
    run(dpkg -x "${deb}" "${root}")
endforeach()
foreach(library zvrviewmodel macscanbll)
    string(REGEX MATCH "/lib${library}${SUFFIX}\\.so\\.[0-9]+" found "${RUNTIME_CONTENTS}")
    if(NOT found)
        message(FATAL_ERROR "${RUNTIME_DEB} lacks lib${library}${SUFFIX}.so.N:\n${RUNTIME_CONTENTS}")
    endif()
endforeach()
if(RUNTIME_CONTENTS MATCHES "/include/|/cmake/|\\.so[ \n]")
    message(FATAL_ERROR "${RUNTIME_DEB} holds development files:\n${RUNTIME_CONTENTS}")
endif()
if(NOT RUNTIME_FIELDS MATCHES "Depends:.*libqt${QT_MAJOR}core")
    message(FATAL_ERROR "${RUNTIME_DEB} does not depend on Qt ${QT_MAJOR} Core: ${RUNTIME_FIELDS}")
endif()
if(NOT DEVELOPMENT_FIELDS MATCHES "Depends:.*${RUNTIME_DEB} \\(= ")
    message(FATAL_ERROR "${DEVELOPMENT_DEB} does not depend on ${RUNTIME_DEB}: ${DEVELOPMENT_FIELDS}")
endif()
# The QML module's package: the plugin and qmldir where Qt looks for modules, and the
# runtime package it needs.
if(QML_DEB)
    file(GLOB deb "${debs}/${QML_DEB}_*.deb")
    if(NOT deb)
        message(FATAL_ERROR "cpack made no package ${QML_DEB} in ${debs}")
    endif()
    execute_process(COMMAND dpkg-deb -f "${deb}" Depends OUTPUT_VARIABLE fields)
    execute_process(COMMAND dpkg-deb -c "${deb}" OUTPUT_VARIABLE contents)
    foreach(file qmldir libzvrviewmodelqmlplugin.so)
        if(NOT contents MATCHES "/usr/${QMLDIR}/ZVR/ViewModel/${file}")
            message(FATAL_ERROR "${QML_DEB} lacks /usr/${QMLDIR}/ZVR/ViewModel/${file}:\n${contents}")
        endif()
    endforeach()
    if(NOT fields MATCHES "${RUNTIME_DEB} \\(= ")
        message(FATAL_ERROR "${QML_DEB} does not depend on ${RUNTIME_DEB}: ${fields}")
    endif()
endif()
check_tree("${root}/usr")
build_consumer("${root}/usr" build-deb)
build_tableonly("${root}/usr" build-deb-tableonly)
