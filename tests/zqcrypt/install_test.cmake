# Installs the build into a fresh prefix and checks that every file lands
# where desktops, shells and man look for it, and that the programs run there.
# cmake -DBUILD_DIR=... -DPREFIX=... -P install_test.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${status}")
endif()

set(app_id org.example.ZQDecoder)
foreach(file bin/ZQDecoder bin/zqcrypt share/applications/${app_id}.desktop share/metainfo/${app_id}.metainfo.xml
             share/mime/packages/zqdecoder-mime.xml share/icons/hicolor/scalable/apps/zqdecoder.svg
             share/man/man1/ZQDecoder.1.gz share/man/man1/zqcrypt.1.gz
             share/doc/zq-decoder/copyright share/doc/zq-decoder/changelog.gz)
    if(NOT EXISTS "${PREFIX}/${file}")
        message(FATAL_ERROR "not installed: ${file}")
    endif()
endforeach()

execute_process(COMMAND "${PREFIX}/bin/zqcrypt" --version OUTPUT_VARIABLE version RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT version STREQUAL "zqcrypt 4.02.4015\n")
    message(FATAL_ERROR "the installed zqcrypt does not run: ${status} ${version}")
endif()

# A queue decrypted by the installed program, beside itself, with the wrong-key
# check linked in; the key container records stay in the prefix.
file(WRITE "${PREFIX}/mail/clear" "installed\n")
set(zqcrypt "${CMAKE_COMMAND}" -E env ZQ_KEY=secret "XDG_DATA_HOME=${PREFIX}/data-home" "${PREFIX}/bin/zqcrypt")
execute_process(COMMAND ${zqcrypt} encrypt -q "${PREFIX}/mail/clear" "${PREFIX}/mail/e~report.txt"
                RESULT_VARIABLE status)
execute_process(COMMAND ${zqcrypt} decrypt -q --beside "${PREFIX}/mail/e~report.txt"
                RESULT_VARIABLE beside_status ERROR_VARIABLE beside_err)
file(READ "${PREFIX}/mail/report.txt" decrypted)
if(NOT status EQUAL 0 OR NOT beside_status EQUAL 0 OR NOT beside_err STREQUAL ""
   OR NOT decrypted STREQUAL "installed\n")
    message(FATAL_ERROR "the installed zqcrypt does not decrypt beside: ${status} ${beside_status} ${beside_err}")
endif()

file(READ "${PREFIX}/share/applications/${app_id}.desktop" entry)
if(NOT entry MATCHES "\nExec=ZQDecoder %F\n" OR NOT entry MATCHES "\nIcon=zqdecoder\n"
   OR NOT entry MATCHES "\nMimeType=application/x-zq-encrypted;\n")
    message(FATAL_ERROR "the desktop entry does not open e~ files in ZQDecoder with its icon")
endif()
file(READ "${PREFIX}/share/metainfo/${app_id}.metainfo.xml" metainfo)
if(NOT metainfo MATCHES "<release version=\"4.2.4015\" date=\"[0-9-]+\"/>")
    message(FATAL_ERROR "the AppStream data does not name this release")
endif()
execute_process(COMMAND gzip -dc "${PREFIX}/share/man/man1/zqcrypt.1.gz" OUTPUT_VARIABLE page RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "the manual page is not gzip: ${status}")
endif()
if(NOT page MATCHES "\"ZQ Decoder 4.02.4015\"" OR NOT page MATCHES "ZQ_KEY")
    message(FATAL_ERROR "the manual page is not the configured one")
endif()
file(REMOVE_RECURSE "${PREFIX}")
