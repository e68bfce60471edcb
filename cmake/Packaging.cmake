# SPDX-License-Identifier: GPL-3.0-or-later
# Packaging: what `cmake --install` adds beyond the program, its desktop entry
# and its PNG icons (zerbo-board, the scalable icon, the manual pages, the
# AppStream metainfo, the copyright and changelog), and the Debian package
# that CPack builds from the same install rules (`make package`).
#
# The version is project(VERSION) alone: zerbo --version, zerbo-board
# --version, the package, the metainfo release, the changelog and the
# manual pages all take it from there. A release also sets its date here.
set(ZERBO_RELEASE_DATE 2026-12-06)

# The AppStream component id. ZERBO has no domain of its own yet, so the id
# is the plain name rather than a reverse domain name that would claim
# someone else's; the package check lets the validator's warning about that
# pass as a note for as long as the id has no dot.
set(ZERBO_APPSTREAM_ID zerbo)
# AppStream takes screenshots only as web addresses; docs/screenshot.png goes
# here once the project publishes it. Until then the address is under the
# reserved .example domain, so it can never show someone else's picture.
set(ZERBO_SCREENSHOT_URL "https://zerbo.example/screenshot.png"
    CACHE STRING "Web address of docs/screenshot.png, for the AppStream metainfo")
set(ZERBO_MAINTAINER "ZERBO maintainers <maintainers@users.noreply.c-seed-5ca7c5c1.example>"
    CACHE STRING "Maintainer of the Debian package: name <address>")

set(packaging_dir ${CMAKE_BINARY_DIR}/packaging)
# Debian wants 0755 directories whatever the umask of whoever installs.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

if(TARGET zerbo-board)
    install(TARGETS zerbo-board RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
# The board's firmware (the ATmega8A board's and the Arduino Uno's and
# Nano's) and how to build the board, for those who flash it.
if(ZERBO_FIRMWARE_HEX)
    install(FILES ${ZERBO_FIRMWARE_HEX} ${ZERBO_FIRMWARE_DIR}/zerbo-board-uno.hex firmware/README.md
            DESTINATION ${CMAKE_INSTALL_DATADIR}/zerbo/firmware)
endif()
install(FILES assets/shuttle.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME zerbo.svg)

configure_file(packaging/zerbo.metainfo.xml.in
               ${packaging_dir}/${ZERBO_APPSTREAM_ID}.metainfo.xml @ONLY)
install(FILES ${packaging_dir}/${ZERBO_APPSTREAM_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The manual pages and the changelog are installed gzipped, as Debian wants;
# gzip -n leaves out the name and time, so the same sources give the same package.
find_program(ZERBO_GZIP gzip REQUIRED)
execute_process(COMMAND date -u -d ${ZERBO_RELEASE_DATE} "+%a, %d %b %Y 00:00:00 +0000"
                OUTPUT_VARIABLE ZERBO_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)
set(gzipped_files "")
function(zerbo_gzipped source configured)
    configure_file(${source} ${packaging_dir}/${configured} @ONLY)
    add_custom_command(OUTPUT ${packaging_dir}/${configured}.gz
                       COMMAND ${ZERBO_GZIP} -9nkf ${configured}
                       WORKING_DIRECTORY ${packaging_dir}
                       DEPENDS ${packaging_dir}/${configured}
                       VERBATIM)
    set(gzipped_files ${gzipped_files} ${packaging_dir}/${configured}.gz PARENT_SCOPE)
endfunction()
zerbo_gzipped(docs/man/zerbo.1.in zerbo.1)
zerbo_gzipped(docs/man/zerbo-board.1.in zerbo-board.1)
zerbo_gzipped(packaging/changelog.in changelog)
add_custom_target(zerbo_packaging_files ALL DEPENDS ${gzipped_files})
install(FILES ${packaging_dir}/zerbo.1.gz ${packaging_dir}/zerbo-board.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES packaging/copyright ${packaging_dir}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The Debian package: make package, or cpack -G DEB in the build directory.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zerbo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${ZERBO_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "test the serial link to a microcontroller board")
# Debian wants the long description in lines under 80 characters.
set(CPACK_PACKAGE_DESCRIPTION
    "ZERBO receives the 256 character codes 0 to 255 from a microcontroller
board into a table of 256 slots and shows each code's bit pattern in eight
coloured fields, as the board's LEDs do. It sends bytes back: one by
clicking its slot, a typed string with a pause before each character, or
one byte over and over for an oscilloscope. The line is 38400 baud, 8 data
bits, no parity, 1 stop bit.

A cable test checks the wire on its own, and zerbo-board, a virtual board
on a pseudo-terminal, stands in for the hardware.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT) # zerbo_VERSION_ARCH.deb
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${ZERBO_MAINTAINER})
# The libraries come from the binaries themselves (dpkg-shlibdeps), so only
# runtime packages are pulled in; the fonts are loaded by name, which no
# binary shows: "Courier New" resolves to Liberation Mono, its metric twin.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS fonts-liberation)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# The build is RelWithDebInfo; the debug information would triple the installed size.
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS})
include(CPack)

# make test checks the package: contents, start-up, metadata, manual pages, lintian.
# Labelled, so that make test runs it after the suite: cpack and lintian would
# otherwise take the cores from the timing tests. Not on a sanitizer build:
# no one ships that one, and it fails the size bound.
if(BUILD_TESTING AND NOT ZERBO_SANITIZE)
    add_test(NAME package_check
             COMMAND ${CMAKE_SOURCE_DIR}/tools/check-package.sh ${CMAKE_BINARY_DIR}
                     ${PROJECT_VERSION} ${ZERBO_APPSTREAM_ID})
    set_tests_properties(package_check PROPERTIES LABELS package TIMEOUT 900)
endif()
