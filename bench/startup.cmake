ravik_add_bench(bench_startup SOURCES startup.cpp LIBS ravik_gui)
