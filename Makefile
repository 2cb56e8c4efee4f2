# Entry points of the project: deps, build, test, demo, install, clean.
BUILD    ?= build
ASANDIR  ?= build-asan
PREFIX   ?= /usr/local
JOBS     ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=

.PHONY: all deps build test test-fast test-asan demo screenshots install clean bench

all: build

deps:
	@sh scripts/deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

# The whole suite, then the engine and libraries once more under the sanitizers.
test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	$(MAKE) test-asan

test-fast: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

$(ASANDIR)/build.ninja:
	cmake -S . -B $(ASANDIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKVX_SANITIZE=ON -DKVX_WITH_GUI=OFF $(CMAKE_FLAGS)

test-asan: deps $(ASANDIR)/build.ninja
	cmake --build $(ASANDIR) -j $(JOBS)
	cd $(ASANDIR) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS) -LE no-sanitize

demo: build
	sh examples/demo.sh $(BUILD)

bench: build
	sh bench/run.sh $(BUILD)

# One picture per scene of the workbench, drawn offscreen from the example,
# and kvx_check's HTML report seen in headless Chromium.
screenshots: build
	rm -rf $(BUILD)/screenshots
	QT_QPA_PLATFORM=offscreen KVX_BUILD_DIR=$(abspath $(BUILD)) KVX_SOURCE_DIR=$(CURDIR) \
	  $(BUILD)/tests-bin/csentrel_screenshots $(BUILD)/screenshots
	sh scripts/screenshots.sh $(BUILD)

install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

clean:
	rm -rf $(BUILD) $(ASANDIR)
