# The instance guard: a small stand-in program for its process tests, and a run of the
# real zwirlo3 under Xvfb.
add_executable(instance_probe ${CMAKE_CURRENT_SOURCE_DIR}/instance_probe.cpp)
target_link_libraries(instance_probe PRIVATE zwgame_all)
foreach(t test_instance_guard)
  if(TARGET ${t})
    add_dependencies(${t} instance_probe)
  endif()
endforeach()
add_test(NAME e2e.instance COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e_instance.sh)
set_tests_properties(e2e.instance PROPERTIES RESOURCE_LOCK port1200 TIMEOUT 120 LABELS e2e
  ENVIRONMENT "ZW_BIN_DIR=${CMAKE_BINARY_DIR}/bin")
# Replay and demonstration, played on the real programs under Xvfb.
foreach(t replay demo)
  add_test(NAME e2e.${t} COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e_${t}.sh)
  set_tests_properties(e2e.${t} PROPERTIES RESOURCE_LOCK port1200 TIMEOUT 240 LABELS e2e
    ENVIRONMENT "ZW_BIN_DIR=${CMAKE_BINARY_DIR}/bin")
endforeach()
# The hall-of-fame lists as a player sees them, on the real zwirlo60 under Xvfb.
add_test(NAME e2e.hof COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e_hof.sh)
set_tests_properties(e2e.hof PROPERTIES RESOURCE_LOCK port1200 TIMEOUT 120 LABELS e2e
  ENVIRONMENT "ZW_BIN_DIR=${CMAKE_BINARY_DIR}/bin")
# A solo try on zwirlo60 under Xvfb: two cards up, face down again after the delay.
add_test(NAME e2e.solo COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e_solo.sh)
set_tests_properties(e2e.solo PROPERTIES RESOURCE_LOCK port1200 TIMEOUT 120 LABELS e2e
  ENVIRONMENT "ZW_BIN_DIR=${CMAKE_BINARY_DIR}/bin")
# Two real copies playing over the network under Xvfb.
add_test(NAME e2e.network COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e_network.sh)
set_tests_properties(e2e.network PROPERTIES RESOURCE_LOCK port1200 TIMEOUT 180 LABELS e2e
  ENVIRONMENT "ZW_BIN_DIR=${CMAKE_BINARY_DIR}/bin")
# An install into a scratch prefix: layout, run paths, menu entries, the installed game.
add_test(NAME e2e.install COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e_install.sh)
set_tests_properties(e2e.install PROPERTIES RESOURCE_LOCK port1200 TIMEOUT 180 LABELS e2e
  ENVIRONMENT "ZW_BUILD_DIR=${CMAKE_BINARY_DIR}")
