# Cross-builds for 64-bit ARM Linux (arm64 single-board computers and the
# like) with Debian's cross compiler and Debian's arm64 libraries (Qt and the
# rest from the arm64 architecture, in its multiarch directories); the tests
# run under qemu-user.
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake ...
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
# The cross C library, and / for the multiarch directories.
set(CMAKE_FIND_ROOT_PATH /usr/aarch64-linux-gnu /)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# The dynamic loader and the C library must come from the same package: the
# arm64 architecture's (libc6:arm64, there with the arm64 Qt) where it is
# installed, since the loader then finds that C library first; otherwise the
# cross compiler's own.
if(EXISTS /lib/ld-linux-aarch64.so.1)
  set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64 -L /)
else()
  set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64 -L /usr/aarch64-linux-gnu)
endif()
# pkg-config for arm64's .pc files (pkg-config:arm64 installs the wrapper).
set(PKG_CONFIG_EXECUTABLE /usr/bin/aarch64-linux-gnu-pkg-config CACHE FILEPATH "pkg-config for arm64")
# Installed under /usr, the libraries go to Debian's multiarch directory, as
# GNUInstallDirs chooses for a native build (for a cross-build it says "lib").
if(CMAKE_INSTALL_PREFIX MATCHES "^/usr/?$" AND (NOT DEFINED CMAKE_INSTALL_LIBDIR OR CMAKE_INSTALL_LIBDIR STREQUAL "lib"))
  set(CMAKE_INSTALL_LIBDIR lib/aarch64-linux-gnu CACHE PATH "Object code libraries" FORCE)
endif()
