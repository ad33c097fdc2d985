# Velmora: `make run` and `make test` set up what they need on a fresh machine.
BUILD      ?= build
BUILD_ASAN ?= build-asan
GENERATOR  ?= Ninja
WERROR     ?= OFF
JOBS       ?= $(shell nproc)

# Debian packages the build, the tests and `make run` need.
DEB_PACKAGES = cmake ninja-build g++ make pkg-config python3 \
               libgtest-dev libgmock-dev \
               qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-qpa-plugins libqt6svg6 \
               xvfb xauth

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all deps configure build test sanitize run bench sample format clean

all: build

deps:
	@missing=""; for p in $(DEB_PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq --no-install-recommends $$missing; \
	fi

configure:
	cmake -S . -B $(BUILD) -G $(GENERATOR) -DCMAKE_BUILD_TYPE=Release -DVELMORA_WERROR=$(WERROR)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: deps build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The core and its tests under AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize: deps
	cmake -S . -B $(BUILD_ASAN) -G $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug \
	  -DVELMORA_SANITIZE=ON -DVELMORA_GUI=OFF -DVELMORA_WERROR=$(WERROR)
	cmake --build $(BUILD_ASAN) -j $(JOBS)
	cd $(BUILD_ASAN) && ctest --output-on-failure -j $(JOBS)

# A demo Wine prefix whose registry names a sample store: the window opens
# at that store. Without a display the same store is converted on the
# command line.
DEMO_PREFIX = $(abspath $(BUILD))/demo-prefix

sample: build
	@bash tools/make_demo_prefix.sh $(BUILD) >/dev/null

run: deps sample
	@if [ -n "$${DISPLAY:-}" ] && [ -x $(BUILD)/bin/velmora ]; then \
	  WINEPREFIX="$(DEMO_PREFIX)" $(BUILD)/bin/velmora; \
	else \
	  echo "No display: converting the demo store with velmora-cli instead."; \
	  rm -rf $(BUILD)/sample-output; \
	  WINEPREFIX="$(DEMO_PREFIX)" $(BUILD)/bin/velmora-cli $(BUILD)/sample-output; \
	fi

bench: deps build
	bash bench/run.sh $(BUILD)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(BUILD_ASAN)
