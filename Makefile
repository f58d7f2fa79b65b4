# Thin wrapper over CMake: `make run` starts the program against the simulator, `make test` runs every test.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: deps build run run-kestil test asan bench format clean

deps:
	@./scripts/deps.sh

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./scripts/run-with-sim.sh $(BUILD)

# Kestil against the simulator's boot loader; program it with a file from $(BUILD)/firmware.
run-kestil: build
	PROGRAM=kestil/Kestil ./scripts/run-with-sim.sh $(BUILD)

# The tests run twice: in the normal build and in an ASan+UBSan build.
test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)
	$(MAKE) asan

asan: deps
	cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DORVANE_SANITIZE=ON
	cmake --build build-asan -j $(JOBS)
	cd build-asan && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: build
	./$(BUILD)/bench/orvane_startup_bench
	./$(BUILD)/bench/orvane_bench
	./$(BUILD)/bench/kestil_bench

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) build-asan
