# The two set-up commands of the README (run, test) and the developer's extras. Each command
# first installs the Debian packages of its own group (scripts/install-deps).
BUILD ?= build
BENCH_BUILD ?= build-bench
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
# Each test enters a network of its own to bind port 502 on its loopback addresses, and the
# toolkit tests run offscreen: both are in the tests' commands, so a plain ctest does it.
CTEST = ctest --output-on-failure -j $(JOBS)
# Packages and archives carry the time of the commit, not of the build, so that two builds of
# one commit compare equal; rcc, dpkg-deb and the staging of the Windows packages read it.
SOURCE_DATE_EPOCH ?= $(shell git log -1 --format=%ct 2>/dev/null)
ifneq ($(SOURCE_DATE_EPOCH),)
export SOURCE_DATE_EPOCH
endif

.PHONY: programs run test bench screenshot clean

# A tree first made by make run builds no tests; make test switches them on.
programs:
	@scripts/install-deps run
	@[ -f $(BUILD)/build.ninja ] || cmake -S . -B $(BUILD) $(CMAKE_FLAGS) -DRAVIK_BUILD_TESTS=OFF
	cmake --build $(BUILD) -j $(JOBS) --target UdpRavik UdpRavikDevice

run: programs
	$(BUILD)/app/UdpRavik

test:
	@scripts/install-deps test
	scripts/check-layering
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS) -DRAVIK_BUILD_TESTS=ON
	cmake --build $(BUILD) -j $(JOBS)
	cd $(BUILD) && $(CTEST)

bench:
	@scripts/install-deps bench test
	cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DRAVIK_BUILD_TESTS=OFF -DRAVIK_BUILD_BENCH=ON
	cmake --build $(BENCH_BUILD) -j $(JOBS)
	QT_QPA_PLATFORM=offscreen scripts/private-network scripts/run-benchmarks $(BENCH_BUILD)

screenshot: programs
	@scripts/install-deps screenshot
	scripts/screenshot $(BUILD)/app/UdpRavik docs/window.png

clean:
	rm -rf $(BUILD) $(BENCH_BUILD)

# Fuzzing (clang): builds the libFuzzer targets in their own tree and runs each for FUZZ_SECONDS.
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
.PHONY: fuzz
fuzz:
	@scripts/install-deps sanitize
	cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 -DRAVIK_BUILD_FUZZ=ON -DRAVIK_SANITIZE=ON -DRAVIK_BUILD_TESTS=OFF
	cmake --build $(FUZZ_BUILD) --target fuzz_modbus_answer -j $(JOBS)
	mkdir -p $(FUZZ_BUILD)/corpus/modbus_answer
	LSAN_OPTIONS=print_suppressions=0:suppressions=fuzz/lsan.supp \
	  $(FUZZ_BUILD)/fuzz/fuzz_modbus_answer -max_total_time=$(FUZZ_SECONDS) -max_len=2100 \
	  -artifact_prefix=$(FUZZ_BUILD)/ \
	  $(FUZZ_BUILD)/corpus/modbus_answer fuzz/corpus

# The monitor beside a simulated device on 127.0.0.1:502, which stops when the monitor ends,
# both in a network of their own. Aim the monitor at it: click the IP panel, enter 127.0.0.1.
.PHONY: demo package
demo: programs
	scripts/private-network scripts/demo $(BUILD)

# The Debian package of both programs (CPack), left in a Release tree of its own that is
# built with Debian's hardening flags (+all adds bind-now to dpkg-buildflags' defaults).
PACKAGE_BUILD ?= build-package
package: export DEB_BUILD_MAINT_OPTIONS = hardening=+all
package:
	@scripts/install-deps package
	cmake -S . -B $(PACKAGE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DRAVIK_BUILD_TESTS=OFF \
	  -DRAVIK_PACKAGE=ON -DCMAKE_EXE_LINKER_FLAGS="$$(dpkg-buildflags --get LDFLAGS)" \
	  -DCMAKE_CXX_FLAGS="$$(dpkg-buildflags --get CPPFLAGS) $$(dpkg-buildflags --get CXXFLAGS)"
	cmake --build $(PACKAGE_BUILD) -j $(JOBS)
	cd $(PACKAGE_BUILD) && cpack -G DEB
	scripts/check-package $(PACKAGE_BUILD)/udpravik_$$(dpkg-parsechangelog -l packaging/changelog -S Version)_*.deb

# The README's set-up on a fresh Debian 12 root, and the package installed into another
# (root: mmdebstrap and namespaces). CI runs it.
.PHONY: test-fresh
test-fresh:
	scripts/test-fresh

# The whole suite under AddressSanitizer and UBSan, in a tree of its own; any report fails it.
# Built with clang, so that the program and its tests compile with a second compiler too.
ASAN_BUILD ?= build-asan
.PHONY: test-asan
test-asan:
	@scripts/install-deps test sanitize
	cmake -S . -B $(ASAN_BUILD) $(CMAKE_FLAGS) -DRAVIK_SANITIZE=ON -DCMAKE_CXX_COMPILER=clang++-14
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && \
	  ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1:strict_string_checks=1 \
	  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 $(CTEST)

# Cyclic reading of registers 0..32000 against the pymodbus device for MINUTES minutes; fails
# on memory growth after the first pass or on unanswered requests. Not part of CI.
MINUTES ?= 10
.PHONY: soak
soak:
	@scripts/install-deps bench test
	cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DRAVIK_BUILD_TESTS=OFF -DRAVIK_BUILD_BENCH=ON
	cmake --build $(BENCH_BUILD) --target soak_cyclic -j $(JOBS)
	QT_QPA_PLATFORM=offscreen scripts/private-network $(BENCH_BUILD)/bench/soak_cyclic $(MINUTES)

# The monitor's port flooded with 2000-byte unknown answers, cyclic reading off: fails when the
# resident memory passes its budget (8 minutes; MINUTES=... for another length).
.PHONY: soak-flood
soak-flood:
	@scripts/install-deps bench test
	cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DRAVIK_BUILD_TESTS=OFF -DRAVIK_BUILD_BENCH=ON
	cmake --build $(BENCH_BUILD) --target soak_flood -j $(JOBS)
	QT_QPA_PLATFORM=offscreen scripts/private-network $(BENCH_BUILD)/bench/soak_flood $(MINUTES)

# Windows, the program's home: a minimal Qt for MinGW-w64 built once from Debian's source into
# a cache outside the tree (scripts/windows-qt; half an hour the first time), then both
# programs and their tests cross-built against it, and the installer (NSIS) and the portable
# ZIP made by CPack.
WINDOWS_BUILD ?= build-windows
WINDOWS_CMAKE_FLAGS ?=
.PHONY: windows test-windows
windows:
	@scripts/install-deps windows
	scripts/windows-qt build
	cmake -S . -B $(WINDOWS_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE="$$(scripts/windows-qt prefix)/lib/cmake/Qt6/qt.toolchain.cmake" \
	  -DQT_CHAINLOAD_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64.cmake \
	  -DRAVIK_GTEST_SOURCES=/usr/src/googletest $(WINDOWS_CMAKE_FLAGS)
	cmake --build $(WINDOWS_BUILD) -j $(JOBS)
	cd $(WINDOWS_BUILD) && cpack

# The tests under Wine: the installer run silently into a fresh prefix and the installed
# program driven by X input, and the tests of the parts that need no Linux facility. Now and
# then Wine fails to start a program at all (no output, within a tenth of a second): a test
# that fails gets one more run.
test-windows: windows
	cd $(WINDOWS_BUILD) && $(CURDIR)/scripts/private-network \
	  ctest --output-on-failure -j $(JOBS) --repeat until-pass:2

# Renews the Windows screenshots in docs/: the installed program under Wine, as the operator
# test under Wine sees it.
.PHONY: screenshot-windows
screenshot-windows: windows
	scripts/private-network python3 -B tests/windows/operator_wine.py \
	  $(WINDOWS_BUILD)/UdpRavik-*-win64.exe docs

# The commit built twice, in two folders: the .deb, the installer and the ZIP compared byte for
# byte, and diffoscope shown where they differ. CI runs it.
.PHONY: reproducible
reproducible:
	scripts/reproducible
