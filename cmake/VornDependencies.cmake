# Every dependency is settled here; a missing one stops the configure step
# with the Debian package that provides it.
find_package(PkgConfig)
if(NOT PKG_CONFIG_FOUND)
  message(FATAL_ERROR "pkg-config not found: install the Debian package 'pkg-config' (or run scripts/setup)")
endif()

set(_vorn_qt_packages
  Core qtbase5-dev
  Gui qtbase5-dev
  Widgets qtbase5-dev
  Network qtbase5-dev
  Concurrent qtbase5-dev
  Test qtbase5-dev
  Multimedia qtmultimedia5-dev
  Svg libqt5svg5-dev
  WebChannel libqt5webchannel5-dev
  WebEngineWidgets qtwebengine5-dev
  LinguistTools qttools5-dev)
list(LENGTH _vorn_qt_packages _n)
math(EXPR _last "${_n} - 1")
foreach(_i RANGE 0 ${_last} 2)
  math(EXPR _j "${_i} + 1")
  list(GET _vorn_qt_packages ${_i} _component)
  list(GET _vorn_qt_packages ${_j} _debian)
  find_package(Qt5${_component} 5.15 QUIET)
  if(NOT Qt5${_component}_FOUND)
    message(FATAL_ERROR "Qt 5.15 ${_component} not found: install the Debian package '${_debian}' (or run scripts/setup)")
  endif()
endforeach()

# name pkg-config-module debian-package
function(vorn_require_pkg name module debian)
  pkg_check_modules(${name} QUIET IMPORTED_TARGET GLOBAL ${module})
  if(NOT ${name}_FOUND)
    message(FATAL_ERROR "${module} not found: install the Debian package '${debian}' (or run scripts/setup)")
  endif()
endfunction()

vorn_require_pkg(CRYPTOPP libcrypto++ libcrypto++-dev)
vorn_require_pkg(OGG ogg libogg-dev)
vorn_require_pkg(AVCODEC libavcodec libavcodec-dev)
vorn_require_pkg(AVUTIL libavutil libavutil-dev)
vorn_require_pkg(SWRESAMPLE libswresample libswresample-dev)
vorn_require_pkg(AMRNB opencore-amrnb libopencore-amrnb-dev)
vorn_require_pkg(AMRWB opencore-amrwb libopencore-amrwb-dev)
vorn_require_pkg(SOUNDTOUCH soundtouch libsoundtouch-dev)
# Encoders used only by the tools that write test and demo files.
vorn_require_pkg(VOAMRWBENC vo-amrwbenc libvo-amrwbenc-dev)
vorn_require_pkg(BCG729 libbcg729 libbcg729-dev)
vorn_require_pkg(ZLIB_PC zlib zlib1g-dev)
# Whole members inflate about twice as fast with it as with zlib.
vorn_require_pkg(DEFLATE libdeflate libdeflate-dev)
# The number conversions Qt itself is built on, for the call list filter.
vorn_require_pkg(DOUBLE_CONVERSION double-conversion libdouble-conversion-dev)
