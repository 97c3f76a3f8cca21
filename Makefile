# The two set-up commands: `make run` starts the program, `make test` runs every test;
# `make package` builds the Debian package.
BUILD_DIR ?= build
CMAKE_FLAGS ?= -G Ninja -DCMAKE_BUILD_TYPE=Release
JOBS ?= $(shell nproc)

.PHONY: deps configure build run test bench package clean

deps:
	scripts/setup-deps

configure: deps
	cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	$(BUILD_DIR)/bin/qingheng

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The Debian package: $(BUILD_DIR)/qingheng_<version>_amd64.deb
package: build
	cmake --build $(BUILD_DIR) --target package

bench: build
	for b in $(BUILD_DIR)/bin/bench_*; do QT_QPA_PLATFORM=offscreen $$b; done

clean:
	rm -rf $(BUILD_DIR)
