# Install names per Qt version, and the Debian packages (cpack -G DEB).
#
# Qt 5 keeps the plain layout: include/zvrviewmodel, include/macscanbll, libzvrviewmodel,
# CMake package zvrviewmodel. Qt 6 gets its own names for all of them, as Debian does for
# Qt libraries, so that both versions' packages install side by side.
if(ZVR_QT_MAJOR EQUAL 5)
    set(ZVR_NAME_SUFFIX "")
    set(ZVR_NAME_SUFFIX_SEP "")
    set(ZVR_INSTALL_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR})
else()
    set(ZVR_NAME_SUFFIX "-qt${ZVR_QT_MAJOR}")
    set(ZVR_NAME_SUFFIX_SEP "-")
    set(ZVR_INSTALL_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR}/zvrviewmodel${ZVR_NAME_SUFFIX})
endif()
set(ZVR_PACKAGE_NAME zvrviewmodel${ZVR_NAME_SUFFIX})
set(ZVR_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/${ZVR_PACKAGE_NAME})

# One of the installed shared libraries: its export macro, versioned name per Qt
# version, include path, and the runtime and development parts of its installation.
# \a export_define is the macro that marks the library's own build. EXPORT and
# COMPONENT put it into another export set and install component (the QML module's).
function(zvr_installed_library target export_define)
    cmake_parse_arguments(ARG "" "EXPORT;COMPONENT" "" ${ARGN})
    if(NOT ARG_EXPORT)
        set(ARG_EXPORT zvrviewmodelTargets)
    endif()
    if(ARG_COMPONENT)
        set(runtime_component ${ARG_COMPONENT})
        set(development_component ${ARG_COMPONENT})
    else()
        set(runtime_component runtime)
        set(development_component development)
    endif()
    add_library(zvrviewmodel::${target} ALIAS ${target})
    target_compile_definitions(${target} PRIVATE ${export_define})
    zvr_strict_qt(${target})
    target_include_directories(${target} PUBLIC
        $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/src/libs>
        $<INSTALL_INTERFACE:${ZVR_INSTALL_INCLUDEDIR}>)
    set_target_properties(${target} PROPERTIES
        VERSION ${PROJECT_VERSION}
        SOVERSION ${PROJECT_VERSION_MAJOR}
        OUTPUT_NAME ${target}${ZVR_NAME_SUFFIX}
        # The libraries find each other beside themselves, wherever the prefix lies and
        # even when a program's linker dropped its direct need of one (--as-needed).
        INSTALL_RPATH "$ORIGIN")
    install(TARGETS ${target} EXPORT ${ARG_EXPORT}
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT ${runtime_component}
            NAMELINK_COMPONENT ${development_component}
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT ${development_component}
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT ${runtime_component})
endfunction()

# Where the QML module ZVR.ViewModel goes, relative to the prefix: beside Qt's own
# modules when Qt lies under /usr (Debian: lib/x86_64-linux-gnu/qt5/qml), so that a
# package installed to /usr is found without an import path; else lib/qt5/qml.
function(zvr_set_qml_install_dir)
    set(dir ${CMAKE_INSTALL_LIBDIR}/qt${ZVR_QT_MAJOR}/qml)
    if(TARGET Qt${ZVR_QT_MAJOR}::qmake)
        get_target_property(qmake Qt${ZVR_QT_MAJOR}::qmake IMPORTED_LOCATION)
        execute_process(COMMAND ${qmake} -query QT_INSTALL_QML
            OUTPUT_VARIABLE qt_qml_dir OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE result)
        if(result EQUAL 0 AND qt_qml_dir MATCHES "^/usr/(.+)$")
            set(dir ${CMAKE_MATCH_1})
        endif()
    endif()
    set(ZVR_INSTALL_QMLDIR ${dir} PARENT_SCOPE)
endfunction()

# Called once the targets exist.
macro(zvr_setup_cpack)
    set(CPACK_PACKAGE_NAME ${ZVR_PACKAGE_NAME})
    set(CPACK_PACKAGE_VENDOR "The zvrviewmodel authors")
    set(CPACK_PACKAGE_CONTACT "The zvrviewmodel authors <zvrviewmodel@localhost>")
    set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "View-model layer of a LAN device finder (Qt ${ZVR_QT_MAJOR})")
    set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
    set(CPACK_COMPONENTS_ALL runtime development)
    if(TARGET zvrviewmodelqml)
        list(APPEND CPACK_COMPONENTS_ALL qml)
    endif()
    set(CPACK_COMPONENT_DEVELOPMENT_DEPENDS runtime)
    set(CPACK_COMPONENT_QML_DEPENDS runtime)

    set(CPACK_DEB_COMPONENT_INSTALL ON)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SECTION libs)
    set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
    # libzvrviewmodel needs libmacscanbll of the same package.
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
        ${PROJECT_BINARY_DIR}/src/libs/macscanbll
        ${PROJECT_BINARY_DIR}/src/libs/zvrviewmodel
        ${PROJECT_BINARY_DIR}/src/libs/zvrviewmodelqml)
    set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME lib${ZVR_PACKAGE_NAME}${ZVR_NAME_SUFFIX_SEP}${PROJECT_VERSION_MAJOR})
    set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME lib${ZVR_PACKAGE_NAME}-dev)
    set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
    # The QML module with its library and the header a host uses from C++.
    set(CPACK_DEBIAN_QML_PACKAGE_NAME qml${ZVR_QT_MAJOR}-module-zvr-viewmodel)
    set(CPACK_DEBIAN_QML_PACKAGE_SECTION libs)
    if(ZVR_QT_MAJOR EQUAL 5)
        set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "qtbase5-dev (>= 5.15)")
    else()
        set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "qt6-base-dev (>= 6.4)")
    endif()
    include(CPack)
endmacro()
