# Tests of the parameter entry: the two conversions, the acceptance rules and the window's
# entry fields and target panel.
ravik_add_test(test_conversion_text SOURCES TextConversionTest.cpp LIBS ravik_monitor_pure)
ravik_add_test(test_parameters_rules SOURCES RangeRulesTest.cpp LIBS ravik_monitor_pure)
ravik_add_test(test_parameters_entry SOURCES ParameterEntryTest.cpp LIBS ravik_gui QT)
ravik_add_test(test_parameters_target SOURCES ParameterTargetTest.cpp LIBS ravik_gui GTest::gmock QT)
