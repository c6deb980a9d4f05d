# Compiles through ccache when it is installed. Paths below the source folder
# are hashed relative to it and the build folder is left out, so a clean clone
# in another folder reuses what an earlier one compiled.
find_program(KADRIX_CCACHE ccache)
if(KADRIX_CCACHE)
  get_filename_component(_kadrix_base "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
  set(_kadrix_launcher ${CMAKE_COMMAND} -E env CCACHE_BASEDIR=${_kadrix_base} CCACHE_NOHASHDIR=1
                       ${KADRIX_CCACHE})
  set(CMAKE_C_COMPILER_LAUNCHER ${_kadrix_launcher})
  set(CMAKE_CXX_COMPILER_LAUNCHER ${_kadrix_launcher})
endif()
