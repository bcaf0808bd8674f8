BUILD_DIR ?= build
JOBS ?= 2

.PHONY: all deps configure build run test bench format clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake --preset default -B $(BUILD_DIR) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	$(BUILD_DIR)/orbits

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

test-long: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) -R '^[A-Za-z0-9_]*Long\.'

bench: build
	$(BUILD_DIR)/orbits_bench

format:
	@find src tests bench -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR)
