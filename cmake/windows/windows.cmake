# The Windows build, cross-compiled with cmake/mingw-w64.cmake:
#   cmake -S . -B build-win --toolchain cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release
#   cmake --build build-win --target package
# Allegro is built from Debian's source tarball with our patch as a static library, the game
# is linked statically (no DLL beside it), its data is made by the generators built for this
# machine, and the zip a player unpacks lands in the build directory.
include(ExternalProject)

set(CINDERMAZE_RUN_DIR ${CMAKE_BINARY_DIR}/run)
set(WINDOWS_DIR ${CMAKE_CURRENT_LIST_DIR})

# Our compiler launchers (if any) reach the two inner builds as well.
set(INNER_LAUNCHERS)
foreach(lang C CXX)
  if(CMAKE_${lang}_COMPILER_LAUNCHER)
    list(APPEND INNER_LAUNCHERS -DCMAKE_${lang}_COMPILER_LAUNCHER=${CMAKE_${lang}_COMPILER_LAUNCHER})
  endif()
endforeach()

# ------------------------------------------------------------------ Allegro, core only
set(ALLEGRO_WIN_PREFIX ${CMAKE_BINARY_DIR}/allegro/install)
set(ALLEGRO_WIN_LIB ${ALLEGRO_WIN_PREFIX}/lib/liballeg.a)
ExternalProject_Add(allegro_win
  PREFIX ${CMAKE_BINARY_DIR}/allegro
  INSTALL_DIR ${ALLEGRO_WIN_PREFIX}
  DOWNLOAD_COMMAND sh ${WINDOWS_DIR}/fetch-allegro.sh <DOWNLOAD_DIR> <SOURCE_DIR>
  PATCH_COMMAND patch -p1 -s -i ${WINDOWS_DIR}/allegro-4.4.3.1-win64.patch
  CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/mingw-w64.cmake
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=<INSTALL_DIR> -Wno-dev
    -DSHARED=OFF -DWANT_EXAMPLES=OFF -DWANT_TOOLS=OFF -DWANT_TESTS=OFF -DWANT_DOCS=OFF
    -DWANT_ALLEGROGL=OFF -DWANT_LOADPNG=OFF -DWANT_LOGG=OFF -DWANT_JPGALLEG=OFF
    ${INNER_LAUNCHERS}
  BUILD_BYPRODUCTS ${ALLEGRO_WIN_LIB}
  LOG_DOWNLOAD ON LOG_CONFIGURE ON LOG_BUILD ON LOG_INSTALL ON LOG_OUTPUT_ON_FAILURE ON)

# src/ links Allegro by the name pkg-config gives it on Linux.
file(MAKE_DIRECTORY ${ALLEGRO_WIN_PREFIX}/include)
add_library(PkgConfig::ALLEGRO INTERFACE IMPORTED)
set_target_properties(PkgConfig::ALLEGRO PROPERTIES
  INTERFACE_INCLUDE_DIRECTORIES ${ALLEGRO_WIN_PREFIX}/include
  INTERFACE_COMPILE_DEFINITIONS ALLEGRO_STATICLINK
  INTERFACE_LINK_LIBRARIES "${ALLEGRO_WIN_LIB};kernel32;user32;gdi32;comdlg32;ole32;dinput;ddraw;dxguid;winmm;dsound")

# ------------------------------------------------------------------ the game
add_subdirectory(src)
add_subdirectory(editor)
add_dependencies(cindermaze_core allegro_win)
# GUI programs (no console window) that need no DLL beyond Windows' own.
foreach(program cindermaze cindermaze-edit)
  target_link_options(${program} PRIVATE -static -static-libgcc -static-libstdc++ -mwindows)
endforeach()

# ------------------------------------------------------------------ data, by the host's generators
# The same sources built for this machine (no tests, no benchmarks) make the data into host/run.
set(HOST_RUN_DIR ${CMAKE_BINARY_DIR}/host/run)
ExternalProject_Add(host_data
  SOURCE_DIR ${PROJECT_SOURCE_DIR}
  BINARY_DIR ${CMAKE_BINARY_DIR}/host
  CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DCINDERMAZE_TESTS=OFF -DCINDERMAZE_BENCH=OFF
    ${INNER_LAUNCHERS}
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON
  LOG_CONFIGURE ON LOG_BUILD ON LOG_OUTPUT_ON_FAILURE ON)

# ------------------------------------------------------------------ the icon in the .exe
# The player facing the viewer, as on the Linux desktop, at the sizes Explorer asks for.
find_program(CINDERMAZE_CONVERT convert REQUIRED)
set(ICON ${CMAKE_BINARY_DIR}/cindermaze.ico)
add_custom_command(OUTPUT ${ICON}
  COMMAND ${CINDERMAZE_CONVERT} ${HOST_RUN_DIR}/graphics/player1.bmp
          -crop 32x48+256+0 +repage -transparent "#ff00ff" -background none
          -gravity center -extent 48x48 -filter point -define icon:auto-resize=48,32,16
          ${ICON}
  DEPENDS host_data
  COMMENT "Making the program's icon"
  VERBATIM)
configure_file(${WINDOWS_DIR}/cindermaze.rc.in ${CMAKE_BINARY_DIR}/cindermaze.rc @ONLY)
target_sources(cindermaze PRIVATE ${CMAKE_BINARY_DIR}/cindermaze.rc)
target_sources(cindermaze-edit PRIVATE ${CMAKE_BINARY_DIR}/cindermaze.rc)
set_source_files_properties(${CMAKE_BINARY_DIR}/cindermaze.rc PROPERTIES OBJECT_DEPENDS ${ICON})
add_custom_target(windows_icon ALL DEPENDS ${ICON})

# ------------------------------------------------------------------ the zip
configure_file(${WINDOWS_DIR}/LISEZMOI.txt ${CMAKE_BINARY_DIR}/LISEZMOI.txt NEWLINE_STYLE CRLF)
install(TARGETS cindermaze cindermaze-edit RUNTIME DESTINATION .)
# Everything the generators made (the map editor's list of shipped maps included) but the
# Linux sound set-up and the Linux programs (the game and the map editor).
install(DIRECTORY ${HOST_RUN_DIR}/ DESTINATION .
  PATTERN save EXCLUDE
  PATTERN allegro.cfg EXCLUDE
  PATTERN freepats.cfg EXCLUDE
  REGEX "/cindermaze(-edit)?$" EXCLUDE)
install(FILES ${WINDOWS_DIR}/allegro.cfg ${CMAKE_BINARY_DIR}/LISEZMOI.txt DESTINATION .)
install(DIRECTORY DESTINATION save)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME cindermaze)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME cindermaze-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
include(CPack)
