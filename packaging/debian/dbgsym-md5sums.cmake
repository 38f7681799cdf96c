# Run by CPack after it has made the packages (CPACK_POST_BUILD_SCRIPTS). CMake 3.25's
# -dbgsym package lists its file in md5sums under the absolute path it was staged at,
# which debsums cannot check and which differs from one build folder to the next, and it
# has no documentation folder, where Debian policy asks every package for its copyright
# file and changelog. This writes the list again with the path as installed, makes the
# folder a link to the program's own (as Debian's own -dbgsym packages do: the package
# depends on exactly that version of the program), and packs the package again.
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
    string(REGEX REPLACE "^.*/([^/]+)-dbgsym_[^/]*$" "\\1" program "${package}")
    file(MAKE_DIRECTORY ${tree}/usr/share/doc)
    file(CREATE_LINK ${program} ${tree}/usr/share/doc/${program}-dbgsym SYMBOLIC)
    file(WRITE ${tree}/DEBIAN/md5sums "${fixed}")
    execute_process(COMMAND dpkg-deb --root-owner-group -Zxz --build ${tree} ${package}
        OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
    file(REMOVE_RECURSE ${tree})
endforeach()
