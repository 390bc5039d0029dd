# wx::base (no GUI) and wx::core (images and windows) from wx-config, so that
# the engine's libraries can link the base library alone.
find_program(WX_CONFIG wx-config REQUIRED)

function(tessaly_wx_target name libs)
  execute_process(COMMAND ${WX_CONFIG} --cxxflags OUTPUT_VARIABLE cxxflags OUTPUT_STRIP_TRAILING_WHITESPACE)
  execute_process(COMMAND ${WX_CONFIG} --libs ${libs} OUTPUT_VARIABLE ldflags OUTPUT_STRIP_TRAILING_WHITESPACE)
  separate_arguments(cxxflags UNIX_COMMAND "${cxxflags}")
  separate_arguments(ldflags UNIX_COMMAND "${ldflags}")
  # The subsystem is each program's own: the window is made WIN32, the
  # terminal program and the tests stay console programs that cmd waits for.
  list(REMOVE_ITEM ldflags -mwindows -Wl,--subsystem,windows)
  add_library(${name} INTERFACE IMPORTED GLOBAL)
  set(includes "")
  set(options "")
  foreach(flag IN LISTS cxxflags)
    if(flag MATCHES "^-I(.*)")
      list(APPEND includes "${CMAKE_MATCH_1}")
    else()
      list(APPEND options "${flag}")
    endif()
  endforeach()
  # System includes: wx's own headers must not add to our warnings.
  set_target_properties(${name} PROPERTIES
    INTERFACE_SYSTEM_INCLUDE_DIRECTORIES "${includes}"
    INTERFACE_INCLUDE_DIRECTORIES "${includes}"
    INTERFACE_COMPILE_OPTIONS "${options}"
    INTERFACE_LINK_LIBRARIES "${ldflags}")
endfunction()

tessaly_wx_target(wx::base base)
tessaly_wx_target(wx::core core,base)
