# The Windows programs' icon and version resource: kelvane.ico made with ImageMagick
# from packaging/icons/kelvane-*.png, and a .rc per program compiled by windres.
find_program(KELVANE_MAGICK convert REQUIRED)
set(KELVANE_ICON_SIZES 16 32 48 64 128 256)
list(TRANSFORM KELVANE_ICON_SIZES PREPEND ${PROJECT_SOURCE_DIR}/packaging/icons/kelvane-
     OUTPUT_VARIABLE KELVANE_ICON_PNGS)
list(TRANSFORM KELVANE_ICON_PNGS APPEND .png)
set(KELVANE_ICO ${PROJECT_BINARY_DIR}/generated/kelvane.ico)
add_custom_command(OUTPUT ${KELVANE_ICO} COMMAND ${KELVANE_MAGICK} ${KELVANE_ICON_PNGS} ${KELVANE_ICO}
                   DEPENDS ${KELVANE_ICON_PNGS} VERBATIM)
add_custom_target(kelvane_ico DEPENDS ${KELVANE_ICO})

# Gives TARGET (a program named NAME) the icon and a version resource saying DESCRIPTION.
function(kelvane_windows_resources target name description)
    set(KELVANE_RC_NAME ${name})
    set(KELVANE_RC_DESCRIPTION ${description})
    set(rc ${CMAKE_CURRENT_BINARY_DIR}/${name}.rc)
    configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/kelvane.rc.in ${rc} @ONLY)
    set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${KELVANE_ICO})
    target_sources(${target} PRIVATE ${rc})
    add_dependencies(${target} kelvane_ico)
endfunction()
