# Set-up and everyday commands for a Debian 12 machine.
#   make run    install what is missing, build, start the editor
#   make test   install what is missing, build, run every test (plain and sanitized)
#   make bench  build and run the benchmarks

BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)

PACKAGES = cmake make g++ pkg-config qt6-base-dev qt6-base-dev-tools qt6-svg-dev \
           libqt6svg6 qt6-qpa-plugins libgl-dev fonts-dejavu-core fonts-noto-mono \
           fonts-urw-base35 fonts-liberation2 libbenchmark-dev \
           libxcb1-dev xvfb xauth qt6-wayland appstream desktop-file-utils openbox x11-utils \
           btrfs-progs zlib1g-dev qt6-base-private-dev \
           dbus at-spi2-core python3-pyatspi man-db

SUDO := $(shell [ "$$(id -u)" -eq 0 ] || echo sudo)

.PHONY: all deps build run test test-plain test-asan bench install clean

all: build

deps:
	@missing=""; \
	for p in $(PACKAGES); do \
	    dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	    echo "Installing:$$missing"; \
	    $(SUDO) apt-get update && \
	    DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y --no-install-recommends $$missing; \
	fi

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/src/tagloom

test-plain: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DTAGLOOM_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

test: test-plain test-asan

bench: build
	./$(BUILD)/bench/tagloom_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

install: build
	cmake --install $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
