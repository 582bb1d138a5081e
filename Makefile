# make run   - install what is missing, build, start Quarvel
# make test  - install what is missing, build, run every test
# make bench - build and run the benchmarks
# make test-sanitize - build into build-asan with AddressSanitizer and
#   UndefinedBehaviorSanitizer and run every test there
BUILD ?= build
ASAN_BUILD ?= build-asan
JOBS  ?= $(shell nproc)
CCACHE := $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)

.PHONY: all deps configure build run test test-sanitize bench clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CCACHE)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	cd $(BUILD)/bin && ./quarvel

test: build
	xvfb-run -a -s "-screen 0 1024x768x24" ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS) --timeout 600

# The build runs its own tools, which LeakSanitizer cannot follow (its
# tracer crashes in tools/make_resources): leaks are not checked, here nor
# in the tests (README, Tests).
$(ASAN_BUILD)/build.ninja:
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUARVEL_SANITIZE=ON $(CCACHE)

test-sanitize: deps $(ASAN_BUILD)/build.ninja
	ASAN_OPTIONS=detect_leaks=0 cmake --build $(ASAN_BUILD) -j $(JOBS)
	xvfb-run -a -s "-screen 0 1024x768x24" ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS) --timeout 1200

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
	rm -rf $(BUILD) $(ASAN_BUILD)
