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
  target_compile_options(${target} PRIVATE -fexec-charset=GB18030)
endfunction()
