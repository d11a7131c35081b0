# Tests of the register image, the grid view and the answer handlers.
ravik_add_test(test_grid_mapping SOURCES GridMappingTest.cpp LIBS ravik_monitor_pure)
ravik_add_test(test_grid_image SOURCES RegisterImageTest.cpp LIBS ravik_monitor_pure)
ravik_add_test(test_grid_view QT SOURCES GridViewTest.cpp LIBS ravik_gui)
ravik_add_test(test_handlers_direct QT SOURCES AnswerHandlersTest.cpp LIBS ravik_gui)
ravik_add_test(test_handlers_loopback QT SOURCES AnswerLoopbackTest.cpp
    LIBS ravik_gui ravik_test_support)
