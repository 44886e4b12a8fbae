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

# One of the two installed shared libraries: its export macro, versioned name per Qt
# version, include path, and the runtime and development parts of its installation.
# \a export_define is the macro that marks the library's own build.
function(zvr_installed_library target export_define)
    add_library(zvrviewmodel::${target} ALIAS ${target})
    target_compile_definitions(${target} PRIVATE ${export_define})
    zvr_strict_qt(${target})
    target_include_directories(${target} PUBLIC
        $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/src/libs>
        $<INSTALL_INTERFACE:${ZVR_INSTALL_INCLUDEDIR}>)
    set_target_properties(${target} PROPERTIES
        VERSION ${PROJECT_VERSION}
        SOVERSION ${PROJECT_VERSION_MAJOR}
        OUTPUT_NAME ${target}${ZVR_NAME_SUFFIX})
    install(TARGETS ${target} EXPORT zvrviewmodelTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT development
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime)
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
    set(CPACK_COMPONENT_DEVELOPMENT_DEPENDS runtime)

    set(CPACK_DEB_COMPONENT_INSTALL ON)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SECTION libs)
    set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
    # libzvrviewmodel needs libmacscanbll of the same package.
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR}/src/libs/macscanbll)
    set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME lib${ZVR_PACKAGE_NAME}${ZVR_NAME_SUFFIX_SEP}${PROJECT_VERSION_MAJOR})
    set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME lib${ZVR_PACKAGE_NAME}-dev)
    set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
    if(ZVR_QT_MAJOR EQUAL 5)
        set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "qtbase5-dev (>= 5.15)")
    else()
        set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "qt6-base-dev (>= 6.4)")
    endif()
    include(CPack)
endmacro()
