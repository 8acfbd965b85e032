# Run by CPack (CPACK_INSTALL_SCRIPTS) as it stages the Debian package, and not by a plain
# `cmake --install`: the files only a Debian package carries. /usr/share/doc/veltrix gets the
# copyright and the changelog (compressed, without a time stamp, as Debian keeps it), and
# /usr/share/lintian/overrides the lintian tags the package overrides, each with its reason.
# CPack stages into $ENV{DESTDIR}, which file(INSTALL) honours.
set(source ${CPACK_VELTRIX_SOURCE_DIR}/packaging)
set(prefix ${CPACK_PACKAGING_INSTALL_PREFIX})
set(work ${CPACK_TEMPORARY_DIRECTORY}-debian)

file(MAKE_DIRECTORY ${work})
execute_process(COMMAND gzip -9n -c ${source}/changelog OUTPUT_FILE ${work}/changelog.Debian.gz
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "Could not compress ${source}/changelog")
endif()
file(INSTALL ${source}/copyright ${work}/changelog.Debian.gz DESTINATION ${prefix}/share/doc/veltrix
     FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
file(INSTALL ${source}/lintian-overrides DESTINATION ${prefix}/share/lintian/overrides RENAME veltrix
     FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
file(REMOVE_RECURSE ${work})
