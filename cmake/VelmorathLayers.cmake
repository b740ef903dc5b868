# One static library per layer. Its sources are the .cpp files of the layer's
# folder; files under a "wx/" folder belong to the wx side and are left out.
# A generated empty unit keeps a layer that has no code yet a real library, so
# its links never change form as the layer fills.
function(velmorath_layer name dir)
  file(GLOB_RECURSE _srcs CONFIGURE_DEPENDS "${dir}/*.cpp")
  list(FILTER _srcs EXCLUDE REGEX "/wx/")
  set(_anchor "${CMAKE_BINARY_DIR}/layers/${name}_anchor.cpp")
  if(NOT EXISTS "${_anchor}")
    file(WRITE "${_anchor}" "// keeps the layer ${name} a library while it is empty\n")
  endif()
  add_library(${name} STATIC ${_srcs} "${_anchor}")
  target_include_directories(${name} PUBLIC "${CMAKE_SOURCE_DIR}")
endfunction()

# Sources of a layer's wx side (files under its "wx/" folder).
function(velmorath_wx_sources out dir)
  file(GLOB_RECURSE _srcs CONFIGURE_DEPENDS "${dir}/wx/*.cpp")
  set(${out} ${_srcs} PARENT_SCOPE)
endfunction()
