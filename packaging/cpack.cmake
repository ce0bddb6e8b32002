# `cpack -G DEB` in the build folder makes a Debian package of the install
# tree under /usr. Libraries come from dpkg-shlibdeps; what the program
# loads at run time without linking it is named here: Qt's platform plugins
# (a window at all), and Qt's Chinese translations (its dialogs in Chinese).
set(CPACK_PACKAGE_NAME txtreader)
set(CPACK_PACKAGE_VENDOR "Nandeo")
set(CPACK_PACKAGE_CONTACT "NandeoTxt maintainers <maintainers@nandeo.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "chapter reader for Chinese novels kept as .txt files")
set(CPACK_PACKAGE_DESCRIPTION
    "A desktop reader for serialised Chinese novels kept as plain .txt files
(GBK or UTF-8). It splits each book into chapters by its heading lines,
shows one chapter at a time and remembers each book's chapter and skin.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The SQLite driver and the speech-dispatcher voice are plugins loaded at run
# time, which dpkg-shlibdeps does not see: the library (书架) cannot open
# without the one, 朗读 cannot speak without the other (and a voice:
# speech-dispatcher with espeak-ng's Mandarin).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n, libqt6sql6-sqlite, qt6-speech-speechd-plugin")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk, speech-dispatcher, espeak-ng")
include(CPack)
