# make run   installs what is missing, builds, and shows the bar under Wine
# make test  installs what is missing, builds, and runs every test
# make bench        prints the speed and size figures
# make screenshots  regenerates the pictures in docs/screenshots
BUILD := build
.PHONY: all deps build test run dist bench screenshots clean

all: build

deps:
	@tools/deps.sh

$(BUILD)/build.ninja: | deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw32.cmake >/dev/null

build: deps $(BUILD)/build.ninja
	@cmake --build $(BUILD)

test: build
	@tools/wine-rig.sh ctest --test-dir $(BUILD) --output-on-failure

dist: build
	@ls build/dist/*.zip

run: build
	@tools/run.sh

bench: build
	@tools/bench.sh $(BUILD)

screenshots: build
	@tools/screenshots.sh $(BUILD)

clean:
	@chattr -R -i $(BUILD) 2>/dev/null || true  # files a scenario left immutable
	rm -rf $(BUILD)
