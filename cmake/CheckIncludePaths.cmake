# cmake -DROOT=<source folder> -P CheckIncludePaths.cmake
# Fails on a project #include by a bare name: the compiler still finds those
# beside the including file, but every header is included by its path from
# the repository root, so that one name means one file wherever it is read.
# The project's folders are the ones with a CMakeLists.txt (not a build folder).
file(GLOB folders RELATIVE ${ROOT} ${ROOT}/*/CMakeLists.txt)
set(sources "")
foreach(folder ${folders})
  get_filename_component(folder ${folder} DIRECTORY)
  file(GLOB_RECURSE found RELATIVE ${ROOT} ${ROOT}/${folder}/*.c ${ROOT}/${folder}/*.cpp ${ROOT}/${folder}/*.h)
  list(APPEND sources ${found})
endforeach()
set(bare "")
foreach(source ${sources})
  file(STRINGS ${ROOT}/${source} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^/\"]+\"")
  foreach(line ${lines})
    string(APPEND bare "${source}: ${line}\n")
  endforeach()
endforeach()
if(bare)
  message(FATAL_ERROR "Include these by their path from the repository root:\n${bare}")
endif()
