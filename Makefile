# The two commands a newcomer needs: `make run` and `make test`.
# Both install whatever Debian packages are missing, then configure and build.
# `make install PREFIX=...` and `make package` install Isostep or build its
# Debian package.

BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
# Seconds each fuzz target runs under `make fuzz`.
FUZZ_TIME  ?= 60
JOBS       ?= $(shell nproc)
# CI sets WERROR=ON so that any warning fails the build; a developer's own
# `make test` stays lenient. It takes effect when a build folder is configured.
WERROR     ?= OFF
CMAKE_GEN  := -G Ninja
PREFIX     ?= /usr/local
# The last line is for installing and packaging, and for the tests of both.
PACKAGES   := g++ cmake ninja-build qt6-base-dev qt6-image-formats-plugins libqt6svg6 libgtest-dev libbenchmark-dev libstb-dev libyuv-dev \
              help2man dpkg-dev file pkgconf lintian desktop-file-utils appstream
SUDO       := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all deps configure build run install package test test-plain test-sanitize fuzz bench clean

all: build

deps:
	@missing=""; \
	for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get -o DPkg::Lock::Timeout=600 update -qq && \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends $$missing; \
	fi

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DISOSTEP_WERROR=$(WERROR)

configure: $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "No display found. Isostep is a desktop program; to run it without a screen:"; \
	  echo "  xvfb-run -s '-screen 0 1600x1000x24' $(BUILD)/isostepbmp"; \
	  echo "(xvfb-run comes with: apt-get install xvfb xauth)"; \
	  echo "The batch commands need no display, e.g.: $(BUILD)/isostepbmp compose --help"; \
	  exit 1; \
	fi
	cd $(BUILD) && ./isostepbmp

install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

package: build
	cmake --build $(BUILD) --target package

test: test-plain test-sanitize

test-plain: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

$(ASAN_BUILD)/build.ninja: | deps
	cmake -S . -B $(ASAN_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DISOSTEP_SANITIZE=ON -DISOSTEP_BENCH=OFF \
	  -DISOSTEP_WERROR=$(WERROR)

test-sanitize: $(ASAN_BUILD)/build.ninja
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

# libFuzzer comes with clang; the fuzz build is a clang build of its own.
$(FUZZ_BUILD)/build.ninja: | deps
	@command -v clang++ >/dev/null || { echo "Installing: clang"; \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends clang; }
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DISOSTEP_FUZZ=ON \
	  -DISOSTEP_BENCH=OFF

fuzz: $(FUZZ_BUILD)/build.ninja
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzzers
	tests/fuzz/run_fuzzers.sh $(FUZZ_BUILD) $(FUZZ_TIME)

bench: build
	@for b in $(BUILD)/bench_*; do [ -x "$$b" ] && "$$b"; done

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
