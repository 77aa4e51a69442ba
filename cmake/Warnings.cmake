# SPDX-License-Identifier: MIT
# Project-wide compile flags: warnings everywhere, sanitizers on request.
add_compile_options(-Wall -Wextra)
if(QRGEN_WERROR)
  add_compile_options(-Werror)
endif()
if(QRGEN_SANITIZE)
  # vptr checks are left out: Qt's objects cross library boundaries whose
  # type information the check cannot match, and report false faults.
  add_compile_options(-fsanitize=address,undefined -fno-sanitize=vptr -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined -fno-sanitize=vptr)
endif()

# Targets whose string literals are the system's own texts: they are compiled
# into code-page bytes, so "版本_" in the source is GB18030 in the binary.
function(qrgen_codepage_literals target)
  # clang (fuzz builds) has no execution character set but UTF-8; fuzz targets show no texts.
  if(QRGEN_FUZZ)
    return()
  endif()
  target_compile_options(${target} PRIVATE -fexec-charset=GB18030)
endfunction()

# Fuzz builds give every library coverage feedback; only the fuzz targets link libFuzzer's main.
if(QRGEN_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "QRGEN_FUZZ needs clang: configure with CC=clang CXX=clang++")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
