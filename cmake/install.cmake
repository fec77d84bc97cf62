# Installation: the game, its map editor and their data in <prefix>/lib/cindermaze (laid out
# as the run directory), `cindermaze` and `cindermaze-edit` launchers in <prefix>/bin that run
# from a per-user directory, two desktop entries and the icon, made at build time from the
# game's pictures.
set(CINDERMAZE_GAME_DIR lib/cindermaze)

# The icon: the player facing the viewer, on a transparent square, at three sizes.
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
if(ICON_OUTPUTS)
  add_custom_target(desktop_icon ALL DEPENDS ${ICON_OUTPUTS})
endif()

install(TARGETS cindermaze cindermaze-edit RUNTIME DESTINATION ${CINDERMAZE_GAME_DIR})
# Everything the build put beside the programs, but the programs and the settings.
install(DIRECTORY ${CINDERMAZE_RUN_DIR}/ DESTINATION ${CINDERMAZE_GAME_DIR}
  PATTERN "save" EXCLUDE
  REGEX "/cindermaze(-edit)?$" EXCLUDE)
# One launcher, two names: it starts the program it is named after.
install(PROGRAMS ${PROJECT_SOURCE_DIR}/cmake/cindermaze-launcher.sh
  DESTINATION bin RENAME cindermaze)
install(PROGRAMS ${PROJECT_SOURCE_DIR}/cmake/cindermaze-launcher.sh
  DESTINATION bin RENAME cindermaze-edit)
foreach(size ${ICON_SIZES})
  install(FILES ${ICON_DIR}/${size}/cindermaze.png
    DESTINATION share/icons/hicolor/${size}x${size}/apps)
endforeach()
# The desktop entries name the launchers by their installed path, whatever --prefix says.
foreach(entry_name cindermaze cindermaze-edit)
  install(CODE "
    set(prefix \"\${CMAKE_INSTALL_PREFIX}\")
    file(READ \"${PROJECT_SOURCE_DIR}/cmake/${entry_name}.desktop.in\" entry)
    string(REPLACE \"@LAUNCHER@\" \"\${prefix}/bin/${entry_name}\" entry \"\${entry}\")
    set(target \"\$ENV{DESTDIR}\${prefix}/share/applications/${entry_name}.desktop\")
    message(STATUS \"Installing: \${target}\")
    file(WRITE \"\${target}\" \"\${entry}\")
  ")
endforeach()
