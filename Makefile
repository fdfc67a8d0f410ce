# The two commands a fresh machine needs are `make run` and `make test`; both install what
# they need first (scripts/install-deps.sh, idempotent).
.PHONY: deps build run test test-asan fuzz bench package format clean

PRESET ?= dev
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 20

deps:
	@./scripts/install-deps.sh

build: deps
	@cmake --preset $(PRESET) >/dev/null
	@cmake --build --preset $(PRESET) -j $(JOBS)

# The main job: runs the resident tray application (in a virtual session of its own when there
# is no display; see scripts/run.sh).
run: build
	@./scripts/run.sh

# Builds everything (warnings are errors), runs the fuzz targets briefly, then every test.
test: deps
	@./scripts/test.sh

test-asan: deps
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan -j $(JOBS)
	@ctest --preset asan -j $(JOBS)

fuzz: deps
	@FUZZ_SECONDS=$(FUZZ_SECONDS) ./scripts/fuzz.sh

bench: build
	@./scripts/bench.sh

# A Debian package of the installed layout: build/tessora_<version>_<arch>.deb.
package: build
	@cmake --build --preset $(PRESET) --target package

format:
	@git ls-files '*.cpp' '*.h' '*.cc' | xargs clang-format -i

clean:
	@rm -rf build build-asan build-fuzz
