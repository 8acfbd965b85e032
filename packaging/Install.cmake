# What `cmake --install` (and so the Debian package) puts in place besides the programs, the
# desktop entry, the icons, the .syx type and the user guide (ui/ and cli/ install those): the man pages, the
# bash completion of veltrix-cli and the AppStream metainfo. What only the Debian package
# carries is in DebianFiles.cmake.
include(GNUInstallDirs)

# The man pages are made from the Markdown pages in docs/, so the two never disagree.
find_package(Python3 COMPONENTS Interpreter)
if(Python3_Interpreter_FOUND)
  set(VELTRIX_MAN_PAGES "")
  function(veltrix_man_page name page summary)
    set(out ${CMAKE_BINARY_DIR}/man/${name}.1.gz)
    add_custom_command(
      OUTPUT ${out}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
      COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/packaging/markdown-to-man.py
              ${CMAKE_SOURCE_DIR}/docs/${page} ${name} 1 ${PROJECT_VERSION} ${summary} ${out}
      DEPENDS ${CMAKE_SOURCE_DIR}/packaging/markdown-to-man.py ${CMAKE_SOURCE_DIR}/docs/${page}
      COMMENT "Making the man page ${name}(1)"
      VERBATIM)
    set(VELTRIX_MAN_PAGES ${VELTRIX_MAN_PAGES} ${out} PARENT_SCOPE)
  endfunction()
  veltrix_man_page(veltrix-cli veltrix-cli.md "command-line companion of the Veltrix MS2000 librarian")
  if(VELTRIX_BUILD_UI)
    veltrix_man_page(veltrix user-guide.md "librarian for the Korg MS2000 synthesizer")
  endif()
  add_custom_target(veltrix_man ALL DEPENDS ${VELTRIX_MAN_PAGES})
  install(FILES ${VELTRIX_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  message(WARNING "No python3: the man pages are not made (scripts/install-deps.sh installs it)")
  add_custom_target(veltrix_man)
endif()

install(FILES ${CMAKE_SOURCE_DIR}/resources/veltrix-cli.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME veltrix-cli)
if(VELTRIX_BUILD_UI)
  install(FILES ${CMAKE_SOURCE_DIR}/resources/org.veltrix.veltrix.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()
