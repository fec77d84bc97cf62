# Installation, in the layout of Debian's games, under any prefix (/usr for the package):
#   games/cindermaze, games/cindermaze-edit    the launchers, which play from a per-user directory
#   lib/games/cindermaze/                      the two programs and Allegro's sound set-up
#   share/games/cindermaze/                    the data: pictures, sounds, music, maps, font
#   share/applications/, share/icons/hicolor/, share/metainfo/, share/man/, share/doc/cindermaze/
# The desktop entries, the icon, the AppStream metainfo and the manual pages are made at
# build time.
set(LINUX_DIR ${CMAKE_CURRENT_LIST_DIR})
set(CINDERMAZE_PROGRAM_DIR lib/games/cindermaze)
set(CINDERMAZE_DATA_DIR share/games/cindermaze)
# The AppStream id, the package's maintainer and the address of the screenshots.
set(CINDERMAZE_APP_ID invalid.cindermaze.Cindermaze)
set(CINDERMAZE_CONTACT "Cindermaze <dev@cindermaze.invalid>")
set(CINDERMAZE_WEB_URL "https://cindermaze.invalid" CACHE STRING
    "Where the project's pages are published (the screenshots of the AppStream metainfo)")
# Allegro reads allegro.cfg beside the program; it names the patch list beside it.
set(SOUND_SETUP ${CINDERMAZE_RUN_DIR}/allegro.cfg ${CINDERMAZE_RUN_DIR}/freepats.cfg)

# ------------------------------------------------------------------ the icon
# The player facing the viewer, on a transparent square, at three sizes.
find_program(CINDERMAZE_CONVERT convert)
set(ICON_DIR ${CMAKE_BINARY_DIR}/icons)
set(ICON_SIZES 48 96 192)
if(NOT CINDERMAZE_CONVERT)
  message(WARNING "ImageMagick's convert was not found: the installation will have no icon "
                  "(tools/install-deps.sh installs it)")
  set(ICON_SIZES)
endif()
set(ICON_OUTPUTS)
foreach(size ${ICON_SIZES})
  math(EXPR scale "${size} * 100 / 48")
  add_custom_command(OUTPUT ${ICON_DIR}/${size}/cindermaze.png
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ICON_DIR}/${size}
    COMMAND ${CINDERMAZE_CONVERT} ${CINDERMAZE_RUN_DIR}/graphics/player1.bmp
            -crop 32x48+256+0 +repage -transparent "#ff00ff" -background none
            -gravity center -extent 48x48 -filter point -resize ${scale}% -strip
            PNG32:${ICON_DIR}/${size}/cindermaze.png
    DEPENDS game_data ${CINDERMAZE_RUN_DIR}/graphics/player1.bmp
    COMMENT "Making the ${size} x ${size} icon"
    VERBATIM)
  list(APPEND ICON_OUTPUTS ${ICON_DIR}/${size}/cindermaze.png)
endforeach()

# ------------------------------------------------------------------ metainfo, manual, changelog
file(STRINGS ${LINUX_DIR}/changelog CHANGELOG_TOP LIMIT_COUNT 1)
if(NOT CHANGELOG_TOP MATCHES "^cindermaze \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "cmake/linux/changelog does not start with the version ${PROJECT_VERSION}")
endif()
# The release date of the metainfo is the changelog's.
file(STRINGS ${LINUX_DIR}/changelog CHANGELOG_DATE REGEX "^ -- " LIMIT_COUNT 1)
string(REGEX MATCH "[0-9]+ [A-Z][a-z]+ [0-9]+" CHANGELOG_DATE "${CHANGELOG_DATE}")
execute_process(COMMAND date -u -d "${CHANGELOG_DATE}" +%Y-%m-%d
  OUTPUT_VARIABLE CINDERMAZE_RELEASE_DATE OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
set(METAINFO ${CMAKE_BINARY_DIR}/${CINDERMAZE_APP_ID}.metainfo.xml)
configure_file(${LINUX_DIR}/cindermaze.metainfo.xml.in ${METAINFO} @ONLY)

# Manual pages (dated and numbered by the release) and the changelog, compressed as Debian
# wants them (gzip -9n: no name, no time stamp).
set(DOC_DIR ${CMAKE_BINARY_DIR}/doc)
set(GZIPPED)
foreach(page man/cindermaze.6 man/cindermaze-edit.6 man/fr/cindermaze.6 man/fr/cindermaze-edit.6
    changelog)
  configure_file(${LINUX_DIR}/${page} ${DOC_DIR}/${page} @ONLY)
  add_custom_command(OUTPUT ${DOC_DIR}/${page}.gz
    COMMAND sh -c "gzip -9n < \"$0\" > \"$1\"" ${DOC_DIR}/${page} ${DOC_DIR}/${page}.gz
    DEPENDS ${DOC_DIR}/${page}
    VERBATIM)
  list(APPEND GZIPPED ${DOC_DIR}/${page}.gz)
endforeach()
add_custom_target(install_files ALL DEPENDS ${ICON_OUTPUTS} ${GZIPPED})

# ------------------------------------------------------------------ what goes where
install(TARGETS cindermaze cindermaze-edit RUNTIME DESTINATION ${CINDERMAZE_PROGRAM_DIR})
install(FILES ${SOUND_SETUP} DESTINATION ${CINDERMAZE_PROGRAM_DIR})
# A stripped installation (the package's) also drops the compiler's notes, as Debian's own
# tools do.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    foreach(program cindermaze cindermaze-edit)
      execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
        \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CINDERMAZE_PROGRAM_DIR}/\${program}\"
        COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
  endif()
")
# The data the build made, file by file: a map saved or a text exported while trying the
# editor in the run directory stays there.
get_property(DATA_FILES GLOBAL PROPERTY CINDERMAZE_DATA_FILES)
list(REMOVE_ITEM DATA_FILES ${SOUND_SETUP})
foreach(file ${DATA_FILES})
  file(RELATIVE_PATH relative ${CINDERMAZE_RUN_DIR} ${file})
  get_filename_component(folder ${relative} DIRECTORY)
  install(FILES ${file} DESTINATION ${CINDERMAZE_DATA_DIR}/${folder})
endforeach()
# One launcher, two names: it starts the program it is named after.
foreach(name cindermaze cindermaze-edit)
  install(PROGRAMS ${LINUX_DIR}/cindermaze-launcher.sh DESTINATION games RENAME ${name})
  install(FILES ${DOC_DIR}/man/${name}.6.gz DESTINATION share/man/man6)
  install(FILES ${DOC_DIR}/man/fr/${name}.6.gz DESTINATION share/man/fr/man6)
endforeach()
foreach(size ${ICON_SIZES})
  install(FILES ${ICON_DIR}/${size}/cindermaze.png
    DESTINATION share/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${METAINFO} DESTINATION share/metainfo)
install(FILES ${LINUX_DIR}/copyright ${DOC_DIR}/changelog.gz DESTINATION share/doc/cindermaze)
# The desktop entries name the launchers by their installed path, whatever the prefix.
foreach(entry_name cindermaze cindermaze-edit)
  install(CODE "
    set(prefix \"\${CMAKE_INSTALL_PREFIX}\")
    file(READ \"${LINUX_DIR}/${entry_name}.desktop.in\" entry)
    string(REPLACE \"@LAUNCHER@\" \"\${prefix}/games/${entry_name}\" entry \"\${entry}\")
    set(target \"\$ENV{DESTDIR}\${prefix}/share/applications/${entry_name}.desktop\")
    message(STATUS \"Installing: \${target}\")
    file(WRITE \"\${target}\" \"\${entry}\")
  ")
endforeach()
