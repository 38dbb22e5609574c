# Every third-party library the project links, found once here so that module
# CMakeLists.txt files only name imported targets.
find_package(PkgConfig REQUIRED)
pkg_check_modules(CAIRO REQUIRED IMPORTED_TARGET cairo cairo-pdf)
pkg_check_modules(QRENCODE REQUIRED IMPORTED_TARGET libqrencode)
pkg_check_modules(PNG REQUIRED IMPORTED_TARGET libpng)
pkg_check_modules(ZLIB REQUIRED IMPORTED_TARGET zlib)
pkg_check_modules(JPEG REQUIRED IMPORTED_TARGET libjpeg)
pkg_check_modules(TIFF REQUIRED IMPORTED_TARGET libtiff-4)
pkg_check_modules(HEIF REQUIRED IMPORTED_TARGET libheif)
pkg_check_modules(ICU REQUIRED IMPORTED_TARGET icu-uc icu-i18n)
find_package(ZXing REQUIRED)
find_package(nlohmann_json 3 REQUIRED)
find_package(GTest REQUIRED)
find_package(Threads REQUIRED)

# giflib ships no pkg-config file on Debian 12.
find_path(GIF_INCLUDE_DIR gif_lib.h REQUIRED)
find_library(GIF_LIBRARY gif REQUIRED)
add_library(tessivo_giflib INTERFACE)
target_include_directories(tessivo_giflib INTERFACE ${GIF_INCLUDE_DIR})
target_link_libraries(tessivo_giflib INTERFACE ${GIF_LIBRARY})

if(TESSIVO_WITH_BENCH AND NOT TESSIVO_SANITIZE)
  find_package(benchmark REQUIRED)
endif()
if(TESSIVO_WITH_QT)
  find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets Network Test)
endif()
