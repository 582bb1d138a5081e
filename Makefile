# make run   - install what is missing, build, start Quarvel
# make test  - install what is missing, build, run every test
# make bench - build and run the benchmarks
BUILD ?= build
JOBS  ?= $(shell nproc)

.PHONY: all deps configure build run test bench clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	cd $(BUILD)/bin && ./quarvel

test: build
	xvfb-run -a -s "-screen 0 1024x768x24" ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS) --timeout 600

bench: build
	@for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] && echo "== $$b" && "$$b"; done

clean:
	rm -rf $(BUILD)
