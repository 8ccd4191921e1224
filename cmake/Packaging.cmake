# The Debian package: cmake --preset release && cmake --build --preset release, then
# (cd build/release && cpack -G DEB) makes tessary_VERSION_ARCH.deb. dpkg-shlibdeps (dpkg-dev)
# finds the libraries' packages, which needs the `file` program too.
set(CPACK_PACKAGE_NAME tessary)
set(CPACK_PACKAGE_VENDOR "Tessary developers")
set(CPACK_PACKAGE_CONTACT "Tessary developers <tessary@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "take HD DVD discs apart: report, demux and rebuild EVO files")
# The package's long description, in lines of at most 80 characters as Debian wants them.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "Tessary reads the program streams of HD DVD discs (EVO files; DVD-Video VOB\n"
       "and DVD-Audio AOB files too) and reports every video, audio and subpicture\n"
       "stream, its time stamps, the copy-control flags and the frames counted. It\n"
       "writes the chosen streams to a file each, rebuilds an EVO with only the\n"
       "chosen streams, and reads the disc's playlist for the title's streams and\n"
       "chapters. It comes as a Qt window, tessary, and as a command-line program\n"
       "for scripts, tessary-cli.")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
