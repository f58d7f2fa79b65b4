# Thin wrapper over CMake: `make run` starts the program against the simulator, `make test` runs every test.
BUILD ?= build
JOBS ?= $(shell nproc)

FUZZ_SECONDS ?= 20

.PHONY: deps build run test asan fuzz bench format clean

deps:
	@./scripts/deps.sh

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./scripts/run-with-sim.sh $(BUILD)

# The tests run one by one and then whole (each program in one process, shuffled) in the normal build,
# then in an ASan+UBSan build; then every fuzz target runs for FUZZ_SECONDS.
test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)
	./scripts/run-whole-tests.sh $(BUILD)
	$(MAKE) asan
	$(MAKE) fuzz

asan: deps
	cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DORVANE_SANITIZE=ON
	cmake --build build-asan -j $(JOBS)
	cd build-asan && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

fuzz: deps
	cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DORVANE_FUZZ=ON
	cmake --build build-fuzz --target fuzzers -j $(JOBS)
	./scripts/run-fuzzers.sh build-fuzz $(FUZZ_SECONDS)

bench: build
	./$(BUILD)/bench/orvane_startup_bench
	./$(BUILD)/bench/orvane_bench

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) build-asan build-fuzz
