# The Debian package that ./package.sh builds with CPack: both programs and
# everything `cmake --install` puts beside them, under /usr.

# A distributor builds with their own name and address here.
set(ZQ_PACKAGE_MAINTAINER "ZQ Decoder developers <zq-decoder@example.org>"
    CACHE STRING "Maintainer of the Debian package: Name <address>")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zq-decoder)
set(CPACK_PACKAGE_VENDOR "The ZQ Decoder developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "decoder for protected e-mail text and encrypted attachments")
# The synopsis above comes first; CPack puts it there.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "ZQ Decoder is a desktop program for clients of a secure message service that
sends some e-mails in protected form. With the client key it decodes the
protected text of an e-mail, and it decrypts encrypted attachments to new
files, byte for byte as the service's own program does.

zqcrypt does the same from a shell.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ZQ_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION mail)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)

# dpkg-shlibdeps finds the libraries the programs link; Qt opens its platform
# plugins, and QtKeychain libsecret, only at run time, where it cannot see them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libsecret-1-0")
# Without these it still runs: on Wayland through Xwayland, and with no
# drawn window icon (the built-in one is SVG).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, libqt6svg6")
# GNOME Files shows "Decode with ZQ Decoder" through nautilus-python only.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS python3-nautilus)

# What Debian's policy asks of every package: stripped programs, and folders
# and files that only root can change, whatever the umask of the build.
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                                WORLD_READ WORLD_EXECUTE)

include(CPack)
