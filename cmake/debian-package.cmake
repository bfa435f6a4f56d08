# What the Linux build installs beside its programs (manual pages), and the Debian package
# made from it with CPack: `cpack --preset dist` after building the "dist" preset, or
# `./build.sh dist`, which also checks it.
include(GNUInstallDirs)

option(TARNWICK_DEB "Install the Debian package's own files (copyright, changelog.Debian.gz)"
       OFF)

# Compressed files as Debian installs them: gzip -9n keeps the name and time stamp out.
function(tarnwick_gzip source output)
  get_filename_component(plain ${output} NAME_WLE)
  get_filename_component(folder ${output} DIRECTORY)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${folder}/${plain}
    COMMAND gzip -9nf ${folder}/${plain}
    DEPENDS ${source} VERBATIM)
endfunction()

set(tarnwick_man_pages tarnwick.1 tarnwick-reg.1)
set(tarnwick_packaging_files)
foreach(page IN LISTS tarnwick_man_pages)
  tarnwick_gzip(${PROJECT_SOURCE_DIR}/packaging/man/${page} ${PROJECT_BINARY_DIR}/man/${page}.gz)
  list(APPEND tarnwick_packaging_files ${PROJECT_BINARY_DIR}/man/${page}.gz)
  install(FILES ${PROJECT_BINARY_DIR}/man/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

set(tarnwick_doc_dir ${CMAKE_INSTALL_DATADIR}/doc/tarnwick)
if(TARNWICK_DEB)
  tarnwick_gzip(${PROJECT_SOURCE_DIR}/packaging/debian/changelog
                ${PROJECT_BINARY_DIR}/debian/changelog.Debian.gz)
  list(APPEND tarnwick_packaging_files ${PROJECT_BINARY_DIR}/debian/changelog.Debian.gz)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/debian/copyright
                ${PROJECT_BINARY_DIR}/debian/changelog.Debian.gz
          DESTINATION ${tarnwick_doc_dir})
endif()
# The logon script of Linux: an autostart entry that sets a browser once for each user, not
# enabled (an administrator copies it to /etc/xdg/autostart).
install(FILES ${PROJECT_SOURCE_DIR}/packaging/examples/tarnwick-set-browser.desktop
        DESTINATION ${tarnwick_doc_dir}/examples)
add_custom_target(tarnwick_packaging_files ALL DEPENDS ${tarnwick_packaging_files})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarnwick)
set(CPACK_PACKAGE_VENDOR "Tarnwick developers")
set(CPACK_PACKAGE_CONTACT "Tarnwick developers <tarnwick@tarnwick.example.com>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "make a chosen web browser the user's default browser")
set(CPACK_STRIP_FILES ON)
# Folders that install creates are 0755 whatever the umask of the build.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # tarnwick_1.5.0-1_amd64.deb
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Tarnwick developers <tarnwick@tarnwick.example.com>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "http://tarnwick.example.com/tarnwick.htm")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads its platform plugins at run time, where dpkg-shlibdeps cannot see them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# The faces that stand in for the Windows fonts, and xdg-open for the web links.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "fonts-liberation, fonts-dejavu-core, fonts-dejavu-extra, xdg-utils")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# Purging deletes the machine hive that the programs made.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/packaging/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The synopsis line is CPACK_PACKAGE_DESCRIPTION_SUMMARY; this is the long description.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Tarnwick makes a chosen web browser the default browser of the current user
on Windows XP: it writes the user's class registrations for web pages and
links, registers a Start-menu Internet client, resets all of it on request,
and always shows which browser is the default now.
.
This is its Linux build: the same window over a stand-in registry kept in
two SQLite files, so that every part can be run and tried on Linux. It
changes no setting of the Linux desktop. The companion tool tarnwick-reg
queries and edits the stand-in registry as the Windows reg command does.")
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/deb-repack.cmake)
include(CPack)
