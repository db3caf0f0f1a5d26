# The Windows build (cross-compiled with mingw-w64, see mingw-*.cmake):
# SQLite from its amalgamation, GoogleTest from Debian's source package,
# a static runtime, and the tests run under Wine.
#
# The amalgamation is not in git: `scripts/setup.sh windows BUILD` extracts
# it into BUILD/third_party/sqlite3 (make windows does).

# Programs that run on a clean Windows: libgcc, libstdc++ and winpthread
# linked in.
add_link_options(-static)

# zlib from Debian's mingw build (libz-mingw-w64-dev), linked in like the
# runtime: its static library, not the import library of zlib1.dll.
set(ZLIB_USE_STATIC_LIBS ON)

# Path names: the system's wide API everywhere (platform/win32), no ANSI
# code page in between.
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)

# SQLite, from its amalgamation, as the PkgConfig::SQLITE3 target the Linux
# build gets from pkg-config.
set(ZOV_SQLITE_AMALGAMATION ${CMAKE_BINARY_DIR}/third_party/sqlite3 CACHE PATH
    "Directory holding sqlite3.c and sqlite3.h")
if(NOT EXISTS ${ZOV_SQLITE_AMALGAMATION}/sqlite3.c)
  message(FATAL_ERROR "No SQLite amalgamation in ${ZOV_SQLITE_AMALGAMATION}: "
                      "run `bash scripts/setup.sh windows ${CMAKE_BINARY_DIR}` (make windows does)")
endif()
add_library(zov_sqlite3 STATIC ${ZOV_SQLITE_AMALGAMATION}/sqlite3.c)
target_include_directories(zov_sqlite3 SYSTEM PUBLIC ${ZOV_SQLITE_AMALGAMATION})
target_compile_definitions(zov_sqlite3 PRIVATE SQLITE_OMIT_LOAD_EXTENSION SQLITE_DQS=0)
set_target_properties(zov_sqlite3 PROPERTIES POSITION_INDEPENDENT_CODE ON)
add_library(PkgConfig::SQLITE3 INTERFACE IMPORTED)
target_link_libraries(PkgConfig::SQLITE3 INTERFACE zov_sqlite3)

# GoogleTest built from source with the cross compiler; its own build
# defines the GTest::gtest, GTest::gtest_main and GTest::gmock aliases.
set(ZOV_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest source tree (Debian package googletest)")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${ZOV_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

# Tests under Wine. One Wine prefix per build tree, made by the first run;
# its wineserver is kept running through a ctest run (fixture zov_wine) and
# stopped at its end. Each test executable is one ctest entry: starting a
# Windows process costs a fraction of a second, so cases are not listed one
# by one.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(ZOV_WINE_LOADER /usr/lib/wine/wine64)
else()
  set(ZOV_WINE_LOADER /usr/lib/wine/wine)
endif()
set(ZOV_WINE_SERVER /usr/lib/wine/wineserver64)
if(NOT EXISTS ${ZOV_WINE_SERVER})
  set(ZOV_WINE_SERVER /usr/lib/wine/wineserver32)
endif()
set(ZOV_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix)
# The exit code by which wine-run says that this machine cannot run the
# build's programs (no 32-bit support in the kernel, say). Set before
# wine-run is written: it is written into it.
set(ZOV_WINE_SKIP_CODE 77)
configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ
                                WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)

# A Unix path as the Windows programs under Wine see it (drive Z: is "/").
function(zov_wine_path out path)
  set(${out} "Z:${path}" PARENT_SCOPE)
endfunction()

add_test(NAME wine_start COMMAND ${CMAKE_BINARY_DIR}/wine-run --start)
add_test(NAME wine_stop COMMAND ${CMAKE_BINARY_DIR}/wine-run --stop)
set_tests_properties(wine_start PROPERTIES FIXTURES_SETUP zov_wine SKIP_RETURN_CODE ${ZOV_WINE_SKIP_CODE})
set_tests_properties(wine_stop PROPERTIES FIXTURES_CLEANUP zov_wine)

# Cases that drive POSIX tools (a shell, tmux) and have no Windows form.
# (The loader's refusals are checked with Windows DLLs in loadable_win32_test.)
set(ZOV_WINE_EXCLUDED_zovdata_tests Zovdata.TheProgramRoundTripsAndExitsNonZeroOnFailure
                                     Zovdata.ArgumentsWithAccentsCrossEveryEdgeOnce)
# The shared file-system contract's cases that pin POSIX behaviour: "/" in
# resolved names, the exact case of the current directory, and renaming
# over a file a reader holds open (Windows waits for it instead).
set(ZOV_WINE_EXCLUDED_win32_platform_tests
    Implementations/FileSystemTest.ResolvesBackslashesAndLetterCase/Native
    Implementations/FileSystemTest.ReplacingAFileLeavesOpenReadersTheOldBytes/Native
    Implementations/FileSystemTest.RelativeNamesStartAtTheCurrentDirectory/Native)
set(ZOV_WINE_EXCLUDED_win32_recman_tests LoadableRecordManagerTest.RefusesALibraryItCannotUse)
# A symbolic link planted under another letter case: Wine cannot make one.
set(ZOV_WINE_EXCLUDED_output_tests PrintFileLinkTest.APlantedLinkIsNotWrittenThrough)
# The CSV directory and the opener's lookup where the opener runs directly;
# on Windows it runs through the command interpreter.
set(ZOV_WINE_EXCLUDED_register_tests CsvExportTest.CsvDirectoryFromTheEnvironment
                                     CsvExportTest.FindsTheOpenerInExeDirThenPath
                                     WalkTest.OpenCsvKeepsTheFileAndRunsTheOpener WalkTest.OpenerMissingRunsNothing)

# The record books read back by openpyxl (a Python program, started through
# /bin/sh) and set against the register's rows: Linux only. Under Wine the
# books are read back by the tests' own zip reader, and
# scripts/windows-compare.sh checks them byte for byte against the Linux
# program's.
set(ZOV_WINE_EXCLUDED_books_tests
    XlsxBookTest.CellsReadBackAsWritten XlsxBookTest.LongBookKeepsEveryRow
    BooksRunTest.SmallAgencyReadBackCellByCell BooksRunTest.SmallAgencyAgreesWithTheRegister
    BooksRunTest.DemoInstallationBooksAreValidAndAgreeWithTheRegister)

# One ctest entry running every case of a test executable under Wine.
function(zov_add_wine_test name)
  zov_wine_path(bin ${CMAKE_BINARY_DIR})
  set(filter)
  if(ZOV_WINE_EXCLUDED_${name})
    list(JOIN ZOV_WINE_EXCLUDED_${name} ":" excluded)
    set(filter --gtest_filter=-${excluded})
  endif()
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1 ${filter} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED zov_wine SKIP_RETURN_CODE ${ZOV_WINE_SKIP_CODE}
                                          ENVIRONMENT "ZOV_TEST_BIN=${bin}")
endfunction()
