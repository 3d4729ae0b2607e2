# The Windows program's resources (icon, version, manifest) and
# its installer (NSIS): `cmake --build build-windows --target veradex_installer`
# makes Veradex-<version>-setup.exe in the build folder.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(VERADEX_ICON ${CMAKE_BINARY_DIR}/generated/veradex.ico)
set(VERADEX_ICON_IMAGES)
foreach(size 16 32 48 128 256)
  list(APPEND VERADEX_ICON_IMAGES ${PROJECT_SOURCE_DIR}/res/desktop/veradex-${size}.png)
endforeach()
add_custom_command(OUTPUT ${VERADEX_ICON}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/generated
  COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/tools/make_ico.py ${VERADEX_ICON} ${VERADEX_ICON_IMAGES}
  DEPENDS ${PROJECT_SOURCE_DIR}/tools/make_ico.py ${VERADEX_ICON_IMAGES}
  COMMENT "Making the program's icon")
configure_file(${PROJECT_SOURCE_DIR}/res/windows/veradex.rc.in ${CMAKE_BINARY_DIR}/generated/veradex.rc @ONLY)
target_sources(veradex PRIVATE ${CMAKE_BINARY_DIR}/generated/veradex.rc)
set_source_files_properties(${CMAKE_BINARY_DIR}/generated/veradex.rc PROPERTIES OBJECT_DEPENDS
  "${VERADEX_ICON};${PROJECT_SOURCE_DIR}/res/windows/veradex.manifest")

find_program(VERADEX_MAKENSIS makensis)
set(VERADEX_INSTALLER ${CMAKE_BINARY_DIR}/Veradex-${PROJECT_VERSION}-setup.exe)
set(VERADEX_STAGE ${CMAKE_BINARY_DIR}/installer-stage)
if(VERADEX_MAKENSIS)
  add_custom_command(OUTPUT ${VERADEX_INSTALLER}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${VERADEX_STAGE}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VERADEX_STAGE}/pages
    COMMAND ${CMAKE_STRIP} -o ${VERADEX_STAGE}/veradex.exe $<TARGET_FILE:veradex>
    COMMAND ${CMAKE_STRIP} -o ${VERADEX_STAGE}/veradex-mail.dll $<TARGET_FILE:veradex_mail>
    COMMAND ${CMAKE_COMMAND} -E copy ${VERADEX_PAGE_TEMPLATES} ${VERADEX_STAGE}/pages
    COMMAND ${VERADEX_MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION} -DSTAGE=${VERADEX_STAGE}
      -DICON=${VERADEX_ICON} -DOUTFILE=${VERADEX_INSTALLER} ${PROJECT_SOURCE_DIR}/res/windows/veradex.nsi
    DEPENDS veradex veradex_mail ${PROJECT_SOURCE_DIR}/res/windows/veradex.nsi ${VERADEX_PAGE_TEMPLATES} ${VERADEX_ICON}
    COMMENT "Making the installer ${VERADEX_INSTALLER}")
  add_custom_target(veradex_installer DEPENDS ${VERADEX_INSTALLER})
endif()
