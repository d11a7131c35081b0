# The block reader: CPU while reading 0..32000 cyclically against a loopback device.
ravik_add_bench(bench_reader SOURCES bench_reader.cpp CyclicReading.h
    ${CMAKE_SOURCE_DIR}/tests/support/LoopbackDevice.cpp LIBS ravik_gui)
