# Packages: a Debian package of the native build (cpack -G DEB), and a zip of
# the Windows programs (cpack -G ZIP in the mingw build). See the package presets.
set(CPACK_PACKAGE_NAME stampwell)
set(CPACK_PACKAGE_VENDOR Olvadi)
set(CPACK_PACKAGE_CONTACT "Olvadi <support@olvadi.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Change the times and attributes of files and folders in bulk")
set(CPACK_PACKAGE_HOMEPAGE_URL https://www.olvadi.example/stampwell/)
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

if(WIN32)
    set(CPACK_GENERATOR ZIP)
    set(CPACK_PACKAGE_FILE_NAME stampwell-${PROJECT_VERSION}-win64-cli)
    set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
else()
    set(CPACK_GENERATOR DEB)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT) # stampwell_<version>_<architecture>.deb
    set(CPACK_DEBIAN_PACKAGE_SECTION utils)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    # Stampupdate opens the update page with xdg-open.
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xdg-utils)
    # Below the summary line; CPack indents each line by one blank.
    set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
        "Stampwell changes the creation, last-write and last-access times and the
Archive, Read-only, System and Hidden attributes of a file, or of the files
and folders in and below a folder. Every run is journalled and can be undone.
stampwell-cli runs the same engine from a shell; Stampupdate offers the
update page.")
endif()
include(CPack)
