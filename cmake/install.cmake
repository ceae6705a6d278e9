# cmake --install BUILD --prefix DIR: the four programs, the host's desktop module under
# lib/kavrin/, the platform library with its headers and weeapp.pc, the Kavrin bundle under
# share/kavrin/, man pages and bash completion. Every
# path inside the install is relative, so the prefix can be moved as a whole.
include(GNUInstallDirs)

set(KAVRIN_INSTALL_BUNDLE_DIR ${CMAKE_INSTALL_DATADIR}/kavrin/Kavrin.bundle)
# RUNPATHs relative to the binary that carries them.
file(RELATIVE_PATH KAVRIN_BIN_TO_LIB /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${CMAKE_INSTALL_LIBDIR})
file(RELATIVE_PATH KAVRIN_PC_PREFIX_FROM_PCDIR /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
if(KAVRIN_PC_PREFIX_FROM_PCDIR STREQUAL "")
  set(KAVRIN_PC_PREFIX_FROM_PCDIR .)
endif()

# No program or bundle of ours, built or installed, looks for a library in the folder it is
# started in. A binary whose run path the install rewrites is linked with the build's run path
# and a trailing ':' (room for the install's), which the dynamic loader takes for the current
# folder; so none is rewritten. The programs have the same run path in both trees (the build
# tree keeps the platform library where the install does, BUILD/LIBDIR beside BUILD/bin), and
# the bundle has none: it is only ever loaded into the host, which has the platform library
# loaded already.
set_target_properties(weeapp PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/${CMAKE_INSTALL_LIBDIR})
set_target_properties(kavrin-host kavrin-prefs kavrin-demo-phone kavrin-import-backup PROPERTIES INSTALL_RPATH "$ORIGIN/${KAVRIN_BIN_TO_LIB}"
  BUILD_WITH_INSTALL_RPATH ON)
set_target_properties(Kavrin PROPERTIES SKIP_BUILD_RPATH ON)

install(TARGETS kavrin-host kavrin-prefs kavrin-demo-phone kavrin-import-backup RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS kavrin-host-desktop LIBRARY DESTINATION ${KAVRIN_INSTALL_MODULE_DIR})
install(TARGETS weeapp LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
# The public headers, as include/weeapp/...: a maker's include path is include/ itself, where
# nothing but weeapp/ can hide a header of the system. platform/drawing/ speaks Pango and stays
# with the host, platform/internal/ speaks the property-list library and holds the state's
# private parts, and stays inside the platform.
install(DIRECTORY platform/include/weeapp DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} FILES_MATCHING PATTERN "*.h")
configure_file(cmake/weeapp.pc.in ${CMAKE_BINARY_DIR}/weeapp.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/weeapp.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

install(TARGETS Kavrin LIBRARY DESTINATION ${KAVRIN_INSTALL_BUNDLE_DIR})
install(FILES ${KAVRIN_BUNDLE_DIR}/Info.plist ${KAVRIN_BUNDLE_DIR}/WeeAppBackground.png ${KAVRIN_BUNDLE_DIR}/cImageCom.png
  DESTINATION ${KAVRIN_INSTALL_BUNDLE_DIR})

install(FILES completion/kavrin-host.bash DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME kavrin-host)
install(FILES completion/kavrin-prefs.bash DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME kavrin-prefs)
install(FILES completion/kavrin-demo-phone.bash DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME kavrin-demo-phone)
install(FILES completion/kavrin-import-backup.bash DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME kavrin-import-backup)

# The man pages are made from the programs' own --help and --version, so they never drift.
find_program(HELP2MAN help2man)
if(HELP2MAN)
  set(KAVRIN_MAN_PAGES)
  foreach(program kavrin-host kavrin-prefs kavrin-demo-phone kavrin-import-backup)
    set(page ${CMAKE_BINARY_DIR}/man/${program}.1)
    add_custom_command(OUTPUT ${page}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
      COMMAND ${HELP2MAN} --no-info --no-discard-stderr --section=1 --source=Kavrin
              --include=${CMAKE_SOURCE_DIR}/docs/man/${program}.h2m --output=${page} $<TARGET_FILE:${program}>
      DEPENDS ${program} ${CMAKE_SOURCE_DIR}/docs/man/${program}.h2m
      COMMENT "Writing the man page of ${program}")
    list(APPEND KAVRIN_MAN_PAGES ${page})
  endforeach()
  add_custom_target(kavrin_man_pages ALL DEPENDS ${KAVRIN_MAN_PAGES})
  install(FILES ${KAVRIN_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  message(WARNING "help2man not found: no man pages (scripts/install-deps installs it)")
endif()
