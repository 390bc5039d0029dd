# The installed layout: the program keeps its own files beside it in
# <prefix>/lib/tessaly, as it expects (data/wm.png, documents/ with the
# manual); <prefix>/bin/tessaly starts it in the user's configuration
# folder; the desktop entry, icons and AppStream metadata go where the
# desktop looks for them. DESTDIR staging works as usual.
set(TESSALY_ID example.tessaly.Tessaly)
set(TESSALY_LIBDIR lib/tessaly)

install(TARGETS tessaly RUNTIME DESTINATION ${TESSALY_LIBDIR})
install(FILES data/wm.png DESTINATION ${TESSALY_LIBDIR}/data)
# The text mark's font: a link to the system's copy, not a second one.
install(CODE "file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${TESSALY_LIBDIR}/data\")
  file(CREATE_LINK ${TESSALY_FONT} \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${TESSALY_LIBDIR}/data/DejaVuSans.ttf\" SYMBOLIC)")
install(FILES ${CMAKE_BINARY_DIR}/documents/Tessaly_${PROJECT_VERSION}_manual.pdf DESTINATION ${TESSALY_LIBDIR}/documents)
install(PROGRAMS packaging/tessaly.sh DESTINATION bin RENAME tessaly)
# The translations where gettext looks for them; the toolkit's own are
# Debian's (wx3.2-i18n).
install(DIRECTORY ${CMAKE_BINARY_DIR}/locale/ DESTINATION share/locale)
install(TARGETS tessaly-batch RUNTIME DESTINATION bin)

install(FILES packaging/${TESSALY_ID}.desktop DESTINATION share/applications)
# "Open with Tessaly" on folders where file managers take an action of a
# program's own, which never makes it the program that opens folders:
# Dolphin's service menus, Nemo's actions, and Caja's (file-manager actions).
install(FILES packaging/dolphin-servicemenu.desktop DESTINATION share/kio/servicemenus RENAME ${TESSALY_ID}.desktop)
install(FILES packaging/${TESSALY_ID}.nemo_action DESTINATION share/nemo/actions)
install(FILES packaging/caja-action.desktop DESTINATION share/file-manager/actions RENAME ${TESSALY_ID}.desktop)
install(FILES packaging/${TESSALY_ID}.metainfo.xml DESTINATION share/metainfo)
install(FILES data/icons/tessaly.svg DESTINATION share/icons/hicolor/scalable/apps RENAME ${TESSALY_ID}.svg)
foreach(size 16 24 32 48 64 128 256)
  install(FILES data/icons/${size}x${size}.png DESTINATION share/icons/hicolor/${size}x${size}/apps
          RENAME ${TESSALY_ID}.png)
endforeach()

# Debian wants manual pages and changelogs compressed, reproducibly.
find_program(GZIP gzip REQUIRED)
foreach(pair "packaging/tessaly.1:tessaly.1.gz" "packaging/tessaly-batch.1:tessaly-batch.1.gz"
             "packaging/changelog:changelog.gz")
  string(REPLACE ":" ";" pair "${pair}")
  list(GET pair 0 source)
  list(GET pair 1 target)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/packaging/${target}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
    COMMAND ${GZIP} -9n -c ${CMAKE_SOURCE_DIR}/${source} > ${CMAKE_BINARY_DIR}/packaging/${target}
    DEPENDS ${CMAKE_SOURCE_DIR}/${source}
    VERBATIM)
  list(APPEND compressed ${CMAKE_BINARY_DIR}/packaging/${target})
endforeach()
add_custom_target(compressed_docs ALL DEPENDS ${compressed})
install(FILES ${CMAKE_BINARY_DIR}/packaging/tessaly.1.gz ${CMAKE_BINARY_DIR}/packaging/tessaly-batch.1.gz
        DESTINATION share/man/man1)
install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.gz packaging/copyright DESTINATION share/doc/tessaly)
