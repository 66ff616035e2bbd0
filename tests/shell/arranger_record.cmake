# The Arranger window's Record, offscreen, on a fake arranger service.
if(VAMBRIO_GUI)
  add_executable(test_arranger_record ${CMAKE_CURRENT_LIST_DIR}/arranger/arranger_record_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/arranger/fake_arranger_service.h)
  set_target_properties(test_arranger_record PROPERTIES AUTOMOC ON)
  target_link_libraries(test_arranger_record PRIVATE vambrio_arranger_window vambrio_test_support Qt6::Test)
  add_test(NAME test_arranger_record COMMAND test_arranger_record)
  set_tests_properties(test_arranger_record PROPERTIES LABELS gui
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_CONFIG_HOME=${CMAKE_CURRENT_BINARY_DIR}/arranger_record_config")
endif()
