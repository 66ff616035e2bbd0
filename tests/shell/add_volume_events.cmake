# frmAddVolumeEvents, driven offscreen.
if(TARGET vambrio_add_volume_events)
  add_executable(test_add_volume_events ${CMAKE_CURRENT_LIST_DIR}/add_volume_events_test.cpp)
  set_target_properties(test_add_volume_events PROPERTIES AUTOMOC ON)
  target_link_libraries(test_add_volume_events PRIVATE vambrio_add_volume_events Qt6::Test)
  add_test(NAME test_add_volume_events COMMAND test_add_volume_events)
  set_tests_properties(test_add_volume_events PROPERTIES LABELS gui ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endif()
