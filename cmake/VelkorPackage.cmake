# The Debian package (scripts/package.sh): the programs, the data and help files, the desktop
# entry and icon, the AppStream metainfo, a manual page per program and the package's own
# copyright and changelog. `cpack -G DEB` in the build tree writes velkor_<version>_amd64.deb.

# Manual pages and the changelog go in gzip-compressed, as Debian's policy asks (-n: no name or
# time stamp inside, so that the same sources give the same package).
find_program(GZIP gzip REQUIRED)
set(compressed)
foreach(source IN ITEMS data/man/velkor.1 data/man/velkor-sim.1 data/man/velkor-cli.1
                       cmake/debian/changelog)
    get_filename_component(name ${source} NAME)
    set(output ${CMAKE_BINARY_DIR}/package/${name}.gz)
    add_custom_command(
        OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/package
        COMMAND ${GZIP} -9nc ${CMAKE_SOURCE_DIR}/${source} > ${output}
        DEPENDS ${CMAKE_SOURCE_DIR}/${source}
        VERBATIM)
    list(APPEND compressed ${output})
endforeach()
add_custom_target(velkor_package_files ALL DEPENDS ${compressed})

install(FILES ${CMAKE_BINARY_DIR}/package/velkor.1.gz ${CMAKE_BINARY_DIR}/package/velkor-sim.1.gz
              ${CMAKE_BINARY_DIR}/package/velkor-cli.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES data/io.github.velkor.Velkor.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES cmake/debian/copyright ${CMAKE_BINARY_DIR}/package/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/velkor)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velkor)
set(CPACK_PACKAGE_VENDOR "The Velkor developers")
set(CPACK_PACKAGE_CONTACT "The Velkor developers <maintainers@velkor.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://velkor.example)
# The dependencies come from the libraries the programs link (dpkg-shlibdeps).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The synopsis, then the extended description (CPack indents its lines; an empty line separates
# paragraphs).
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "shift-light controller data logger
Velkor talks to a car's shift-light controller over a serial cable
(RS-232 at 56000 bit/s). It downloads the controller's log of 2700
samples, saves it as a comma-separated log file and opens such files
again, plots the log on a two-trace chart with a time window and a
marker read-out, prints the chart, shows the controller live on dials,
gauges and lamps, and erases the controller's log.

The package also holds velkor-cli, which downloads, erases and
watches the controller and shows, exports and analyses log files from
a terminal or a script, and velkor-sim, a simulated controller on a
pseudo-terminal, for trying every operation without a car.")
include(CPack)
