# The two commands of the project: `make run` and `make test`.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: all setup configure build run test bench clean test-asan test-tsan fuzz package install

all: build

setup:
	./scripts/setup-deps.sh

configure: setup
	@if [ ! -f $(BUILD)/build.ninja ]; then cmake -S . -B $(BUILD) -G Ninja; fi

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# The viewer on the tour scene; without a display, the same picture drawn
# by qmv-render into tour.png.
run: build
	@if [ -n "$$DISPLAY" ]; then \
	  $(BUILD)/viewer/qmv-viewer $(BUILD)/examples/tour.qmvz; \
	else \
	  echo "make run: no display (DISPLAY is not set), so the viewer cannot open its window;"; \
	  echo "make run: rendering the tour scene with qmv-render to tour.png instead"; \
	  $(BUILD)/tools/qmv-render $(BUILD)/examples/tour.qmvz -o tour.png && echo "make run: wrote tour.png"; \
	fi

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The Debian packages qmv-viewer and libqmv-dev, in $(BUILD)/packages/.
package: build
	cd $(BUILD) && cpack -G DEB -B packages
	@ls $(BUILD)/packages/*.deb

# Installs under PREFIX (default /usr/local), DESTDIR honoured.
PREFIX ?= /usr/local
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

bench: build
	$(BUILD)/bench/reader_bench

# The whole test suite built with g++'s AddressSanitizer and
# UndefinedBehaviorSanitizer in $(ASAN_BUILD), LeakSanitizer included: any
# report fails the test it comes from. fuzz/lsan.supp lists the third-party
# libraries whose leaks are not this project's (docs/robustness.md).
ASAN_BUILD ?= build-asan
ASAN_FLAGS = -fsanitize=address,undefined,float-cast-overflow -fno-sanitize-recover=all -fno-omit-frame-pointer
# Mesa's driver is preloaded so that it stays mapped until the leak check at
# exit, which can then name it (eglTerminate would unload it first). The
# programs under Xvfb (the viewer's GUI tests) are left out: the viewer's
# GLX context cannot be made under the sanitizers there.
QMV_DRI_DRIVER = $(firstword $(wildcard /usr/lib/*/dri/swrast_dri.so))
ASAN_ENV = ASAN_OPTIONS=detect_leaks=1:verify_asan_link_order=0:check_initialization_order=1 \
  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  LSAN_OPTIONS=suppressions=$(CURDIR)/fuzz/lsan.supp:print_suppressions=0 \
  LD_PRELOAD=$(QMV_DRI_DRIVER)
# The install tests build and package the tree: another project linking the
# sanitized libraries, and programs run with an empty environment, are not
# what they check.
ASAN_EXCLUDE = \.gui\.|^install\.

test-asan: setup
	@if [ ! -f $(ASAN_BUILD)/build.ninja ]; then \
	  cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    "-DCMAKE_C_FLAGS=$(ASAN_FLAGS)" "-DCMAKE_CXX_FLAGS=$(ASAN_FLAGS)" \
	    "-DCMAKE_EXE_LINKER_FLAGS=-fsanitize=address,undefined"; \
	fi
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && $(ASAN_ENV) ctest --output-on-failure -j $(JOBS) -E '$(ASAN_EXCLUDE)'

# The tests of what runs on more than one thread (the reader's parses from
# several threads, the viewer's background loads) built with
# ThreadSanitizer in $(TSAN_BUILD): any report fails. The software
# rasteriser draws in the calling thread (LP_NUM_THREADS=0), so that only
# this project's threads run; address-space randomisation is off for the
# sanitizer's fixed memory layout.
TSAN_BUILD ?= build-tsan
TSAN_FLAGS = -fsanitize=thread -fno-omit-frame-pointer
TSAN_ENV = TSAN_OPTIONS=halt_on_error=1:abort_on_error=1 LP_NUM_THREADS=0
TSAN_RUN = $(TSAN_ENV) setarch $(shell uname -m) -R

test-tsan: setup
	@if [ ! -f $(TSAN_BUILD)/build.ninja ]; then \
	  cmake -S . -B $(TSAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE=PRE_TEST \
	    "-DCMAKE_C_FLAGS=$(TSAN_FLAGS)" "-DCMAKE_CXX_FLAGS=$(TSAN_FLAGS)" \
	    "-DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread"; \
	fi
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target reader_tests reader_property_tests viewer_tests
	$(TSAN_RUN) $(TSAN_BUILD)/tests/reader/reader_tests --gtest_filter='Progress.*:MemoryInput.*:Paths.Long*'
	$(TSAN_RUN) $(TSAN_BUILD)/tests/reader/reader_property_tests --gtest_filter='CompressedContainer.*:RawAndCompressed/*:BufferBoundary.*:CompressedSave.*'
	$(TSAN_RUN) $(TSAN_BUILD)/tests/viewer/viewer_tests --gtest_filter='Loading.*:Documents.*:Commands.*'

# The fuzz programs (clang 14, libFuzzer with the sanitizers) in
# $(FUZZ_BUILD), each run for FUZZ_SECONDS; see docs/robustness.md.
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60

fuzz:
	./scripts/setup-deps.sh --fuzz
	@if [ ! -f $(FUZZ_BUILD)/build.ninja ]; then \
	  cmake -S fuzz -B $(FUZZ_BUILD) -G Ninja -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14; \
	fi
	cmake --build $(FUZZ_BUILD) --target fuzz_programs -j $(JOBS)
	./fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD)
