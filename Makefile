BUILD_DIR ?= build
JOBS ?= 2
# Extra cache settings for the configure step, e.g. CMAKE_FLAGS=-DORBITS_WERROR=ON.
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test test-long test-sanitize bench format clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake --preset default -B $(BUILD_DIR) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	$(BUILD_DIR)/orbits

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

test-long: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) -R '^[A-Za-z0-9_]*Long\.'

# The quick tests under the address and undefined-behaviour sanitizers, in build-sanitize/.
test-sanitize: deps
	@cmake --preset sanitize >/dev/null
	@cmake --build --preset sanitize -j $(JOBS)
	ctest --preset sanitize -j $(JOBS)

bench: build
	$(BUILD_DIR)/orbits_bench

format:
	@find src tests bench -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR)
