# The two set-up commands of the README (run, test) and the developer's extras.
BUILD ?= build
BENCH_BUILD ?= build-bench
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: deps build run test bench screenshot clean

deps:
	@scripts/install-deps

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/app/UdpRavik

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: deps
	cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DRAVIK_BUILD_TESTS=OFF -DRAVIK_BUILD_BENCH=ON
	cmake --build $(BENCH_BUILD) -j $(JOBS)
	QT_QPA_PLATFORM=offscreen scripts/run-benchmarks $(BENCH_BUILD)

screenshot: build
	scripts/screenshot $(BUILD)/app/UdpRavik docs/window.png

clean:
	rm -rf $(BUILD) $(BENCH_BUILD)

# Fuzzing (clang): builds the libFuzzer targets in their own tree and runs each for FUZZ_SECONDS.
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
.PHONY: fuzz
fuzz:
	cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 -DRAVIK_BUILD_FUZZ=ON -DRAVIK_BUILD_TESTS=OFF
	cmake --build $(FUZZ_BUILD) --target fuzz_modbus_answer -j $(JOBS)
	mkdir -p $(FUZZ_BUILD)/corpus/modbus_answer
	$(FUZZ_BUILD)/fuzz/fuzz_modbus_answer -max_total_time=$(FUZZ_SECONDS) -max_len=2100 $(FUZZ_BUILD)/corpus/modbus_answer fuzz/corpus
