# Installation of the programs' companions and the Debian package. From build/release:
#   cpack -G DEB      writes kolvane_VERSION_ARCH.deb
# The package holds kolvane (the window, when Qt is built), kolvane-batch, kolvane-simulate, the
# desktop entry and icon, the examples (/usr/share/kolvane/examples), the cluster recipes
# (/usr/share/kolvane/cluster) and the manual pages.

if(TARGET kolvane-simulate)
  install(TARGETS kolvane-simulate RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

# The examples are data the programs open, not documentation: they live under share/kolvane so
# that a system which leaves out /usr/share/doc still has them.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/
        DESTINATION ${CMAKE_INSTALL_DATADIR}/kolvane/examples)

# The cluster recipes are run (or submitted to Slurm) as they stand, from where they are
# installed; the parallel recipe finds the merge beside it.
install(PROGRAMS ${PROJECT_SOURCE_DIR}/tools/cluster/slurm-study.sh
                 ${PROJECT_SOURCE_DIR}/tools/cluster/parallel-study.sh
                 ${PROJECT_SOURCE_DIR}/tools/cluster/merge-summaries.sh
        DESTINATION ${CMAKE_INSTALL_DATADIR}/kolvane/cluster)

# Manual pages, written by hand in troff, and the package's change log, installed gzipped (-n: no
# name or time stamp, so the package's bytes do not depend on when it was built).
find_program(KOLVANE_GZIP gzip REQUIRED)
set(kolvane_gzipped)
function(kolvane_gzip source destination)
  get_filename_component(name ${source} NAME)
  set(gz ${PROJECT_BINARY_DIR}/packaging/${name}.gz)
  add_custom_command(OUTPUT ${gz}
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/packaging
                     COMMAND ${KOLVANE_GZIP} -9 -n -c ${source} > ${gz}
                     DEPENDS ${source} VERBATIM)
  install(FILES ${gz} DESTINATION ${destination})
  set(kolvane_gzipped ${kolvane_gzipped} ${gz} PARENT_SCOPE)
endfunction()
kolvane_gzip(${PROJECT_SOURCE_DIR}/packaging/kolvane.1 ${CMAKE_INSTALL_MANDIR}/man1)
kolvane_gzip(${PROJECT_SOURCE_DIR}/packaging/kolvane-batch.1 ${CMAKE_INSTALL_MANDIR}/man1)
kolvane_gzip(${PROJECT_SOURCE_DIR}/packaging/kolvane-simulate.1 ${CMAKE_INSTALL_MANDIR}/man1)
kolvane_gzip(${PROJECT_SOURCE_DIR}/packaging/changelog ${CMAKE_INSTALL_DATADIR}/doc/kolvane)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kolvane)
add_custom_target(kolvane_man ALL DEPENDS ${kolvane_gzipped})

set(CPACK_PACKAGE_NAME kolvane)
set(CPACK_PACKAGE_VENDOR "The KOLVANE developers")
set(KOLVANE_MAINTAINER "KOLVANE developers <kolvane@example.org>"
    CACHE STRING "Maintainer of the Debian package: name <address>")
set(CPACK_PACKAGE_CONTACT "${KOLVANE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The cluster recipes hand a study to GNU parallel or to Slurm when they are there.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "parallel, slurm-client")
# The long description: CPack puts the summary above it and indents every line; an empty line
# separates the paragraphs.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "KOLVANE reduces the readings of microspheres dyed in up to 13 colours, read
on a fluorimeter: it learns the spillover between colours from the single-dye
pure samples and writes each colour's own intensity, or microspheres per
millilitre, for every record as a TAB-separated results file.

Fixed-wavelength files are solved record by record by Gaussian elimination;
synchronous-scan files are fitted by least squares. The package holds the
window program (kolvane), the batch program (kolvane-batch), the measurement
simulator (kolvane-simulate), examples in /usr/share/kolvane/examples and
scripts that spread a study over a Slurm cluster or over ssh hosts with GNU
parallel in /usr/share/kolvane/cluster.")
include(CPack)
