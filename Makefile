# Thin wrapper over CMake: `make run` starts the program against the simulator, `make test` runs every test.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: deps build run test asan bench format clean

deps:
	@./scripts/deps.sh

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./scripts/run-with-sim.sh $(BUILD)

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
	QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" ./$(BUILD)/bench/orvane_graph_bench

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) build-asan
