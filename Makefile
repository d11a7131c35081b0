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
