# Run by CPack after it has made the packages (CPACK_POST_BUILD_SCRIPTS). CMake 3.25's
# -dbgsym package lists its file in md5sums under the absolute path it was staged at,
# which debsums cannot check and which differs from one build folder to the next, and it
# carries no copyright file or changelog, which Debian policy asks of every package. This
# writes the list again with the paths as installed, adds the two documents
# (CPACK_KORVANE_DBGSYM_DOCS), and packs the package again.
foreach(package IN LISTS CPACK_PACKAGE_FILES)
    if(NOT package MATCHES "-dbgsym_.*\\.ddeb$")
        continue()
    endif()
    set(tree ${package}.tree)
    file(REMOVE_RECURSE ${tree})
    execute_process(COMMAND dpkg-deb --raw-extract ${package} ${tree} COMMAND_ERROR_IS_FATAL ANY)
    file(STRINGS ${tree}/DEBIAN/md5sums lines)
    set(fixed "")
    foreach(line IN LISTS lines)
        string(REGEX REPLACE "^([0-9a-f]+)  .*-dbgsym/(usr/.*)$" "\\1  \\2" line "${line}")
        string(APPEND fixed "${line}\n")
    endforeach()
    string(REGEX REPLACE "^.*/([^/]+)-dbgsym_[^/]*$" "\\1-dbgsym" name "${package}")
    set(doc usr/share/doc/${name})
    file(INSTALL ${CPACK_KORVANE_DBGSYM_DOCS} DESTINATION ${tree}/${doc}
        FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
    foreach(document IN LISTS CPACK_KORVANE_DBGSYM_DOCS)
        get_filename_component(document ${document} NAME)
        file(MD5 ${tree}/${doc}/${document} sum)
        string(APPEND fixed "${sum}  ${doc}/${document}\n")
    endforeach()
    file(WRITE ${tree}/DEBIAN/md5sums "${fixed}")
    execute_process(COMMAND dpkg-deb --root-owner-group -Zxz --build ${tree} ${package}
        OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
    file(REMOVE_RECURSE ${tree})
endforeach()
