# AUTOMOC under Ninja does not rerun when a reconfigure adds a source or
# header (its rule depends only on files it saw before), which leaves a new
# Q_OBJECT class without its moc: "undefined reference to vtable". When a
# target's file list changes, removing its autogen timestamp makes Ninja run
# the step again.
function(mendo_autogen_follows_sources target files)
  set(_list "${CMAKE_CURRENT_BINARY_DIR}/${target}_sources.list")
  string(REPLACE ";" "\n" _content "${files}")
  set(_old "")
  if(EXISTS "${_list}")
    file(READ "${_list}" _old)
  endif()
  if(NOT _old STREQUAL _content)
    file(WRITE "${_list}" "${_content}")
    file(REMOVE "${CMAKE_CURRENT_BINARY_DIR}/${target}_autogen/timestamp")
  endif()
endfunction()

# One static library per source folder. Sources are globbed so that a new class
# needs no edit here; CONFIGURE_DEPENDS makes Ninja notice added files.
function(mendo_add_library name dir)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB _srcs CONFIGURE_DEPENDS "${dir}/*.cpp" "${dir}/*.h")
  list(FILTER _srcs INCLUDE REGEX "\\.cpp$")
  if(_srcs)
    file(GLOB _hdrs CONFIGURE_DEPENDS "${dir}/*.h")
    add_library(${name} STATIC ${_srcs} ${_hdrs})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
    mendo_autogen_follows_sources(${name} "${_srcs};${_hdrs}")
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# mendo_add_test(<name> SOURCES a.cpp [b.cpp] LIBS lib... [DISPLAY] [WRAPPER script])
# A unit test runs offscreen; a DISPLAY test runs inside the test session's
# Xvfb + openbox + D-Bus (scripts/with-session.sh) and is labelled "display".
# A WRAPPER script starts the test binary (its first argument).
function(mendo_add_test name)
  cmake_parse_arguments(ARG "DISPLAY" "TIMEOUT;WRAPPER" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  if(ARG_WRAPPER)
    add_test(NAME ${name} COMMAND ${ARG_WRAPPER} $<TARGET_FILE:${name}>)
  else()
    add_test(NAME ${name} COMMAND ${name})
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  if(ARG_DISPLAY)
    # One session, one keyboard focus, one clipboard: display tests take
    # turns even when ctest runs the rest in parallel.
    set_tests_properties(${name} PROPERTIES LABELS display TIMEOUT ${ARG_TIMEOUT}
      ENVIRONMENT "QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1" RESOURCE_LOCK x11_session)
  else()
    set_tests_properties(${name} PROPERTIES LABELS unit TIMEOUT ${ARG_TIMEOUT}
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  endif()
endfunction()
