# SPDX-License-Identifier: MIT
# Empties or creates each folder in DIRECTORIES, so a smoke run starts from the committed corpus.
foreach(directory IN LISTS DIRECTORIES)
  file(REMOVE_RECURSE ${directory})
  file(MAKE_DIRECTORY ${directory})
endforeach()
