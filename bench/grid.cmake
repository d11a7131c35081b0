# The register image and the grid: one function 3 answer into image and grid, Clear Grid.
ravik_add_bench(bench_grid
    SOURCES bench_grid.cpp ${CMAKE_SOURCE_DIR}/tests/support/LoopbackDevice.cpp
    LIBS ravik_gui)
