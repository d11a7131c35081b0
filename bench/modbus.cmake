# The client: codec throughput, one answer from socket to callback, the idle poll tick.
ravik_add_bench(bench_modbus
    SOURCES bench_modbus.cpp ${CMAKE_SOURCE_DIR}/tests/support/LoopbackDevice.cpp
    LIBS ravik_modbus)
# Nothing here needs moc; without it no bench_modbus_autogen folder sits beside the executable.
set_target_properties(bench_modbus PROPERTIES AUTOMOC OFF)
