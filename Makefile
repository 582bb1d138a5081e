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

# Every benchmark program (not the build's *_autogen folders); those that
# need a display start an Xvfb of their own. OpenBoard, which the start-up
# is measured against, is installed by scripts/install-bench-deps.
bench: build
	@scripts/install-bench-deps
	@failed=0; for b in $(BUILD)/bench/bench_*; do \
	  [ -f "$$b" ] && [ -x "$$b" ] || continue; \
	  echo "== $$b"; "$$b" || { echo "== $$b failed"; failed=1; }; \
	done; exit $$failed

clean:
	rm -rf $(BUILD)
