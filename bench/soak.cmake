# make soak: cyclic reading of 0..32000 against the pymodbus device for minutes on end. Not a
# benchmark executable (bench_*), so run-benchmarks leaves it out.
add_executable(soak_cyclic soak_cyclic.cpp CyclicReading.h
    ${CMAKE_SOURCE_DIR}/tests/support/PymodbusDevice.cpp)
target_include_directories(soak_cyclic PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_definitions(soak_cyclic PRIVATE
    RAVIK_PYMODBUS_DEVICE_SCRIPT="${CMAKE_SOURCE_DIR}/tests/support/pymodbus_device.py")
target_link_libraries(soak_cyclic PRIVATE ravik_gui)
