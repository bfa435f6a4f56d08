# CPack's post-build step for the Debian package: CPack (3.25) stamps every member of the
# package with the time it was built, and gives the folders it makes the modes of the build's
# umask. So the package is unpacked and packed again by dpkg-deb, with every file's time set to
# SOURCE_DATE_EPOCH (the time of the sources' last commit, from `./build.sh dist`), folders and
# programs 0755, other files 0644, all owned by root, in a fixed order: two builds of the same
# sources then give the same bytes. Without SOURCE_DATE_EPOCH the package is left as CPack made
# it.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH} OR "$ENV{SOURCE_DATE_EPOCH}" STREQUAL "")
  message(STATUS "SOURCE_DATE_EPOCH is not set: the package keeps its build times")
  return()
endif()
set(epoch "$ENV{SOURCE_DATE_EPOCH}")
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  set(tree "${package}.tree")
  file(REMOVE_RECURSE "${tree}")
  execute_process(COMMAND dpkg-deb --raw-extract "${package}" "${tree}" COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND chmod -R u=rwX,go=rX "${tree}" COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND find "${tree}" -exec touch --no-dereference --date=@${epoch} {} +
                  COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND dpkg-deb --root-owner-group -Zxz -z9 --build "${tree}" "${package}"
                  OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE "${tree}")
endforeach()
