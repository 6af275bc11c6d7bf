# The two commands of the project: `make run` and `make test`.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: all setup configure build run test bench clean

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

bench: build
	$(BUILD)/bench/reader_bench

clean:
	rm -rf $(BUILD)
