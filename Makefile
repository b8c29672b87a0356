# The two commands of the README, and a few more for developers.
#   make run    install what is missing, build, start the diary
#   make test   install what is missing, build, run the whole test suite
#   make check  build and run the unit suites only: no end-to-end tests, no root, no packages
#   make lint   clang-format over src/ and tests/, shellcheck over the shell scripts
#   make asan   the test suite built with AddressSanitizer and UndefinedBehaviorSanitizer
#   make asan-check  the unit suites only, built with the same sanitizers
#   make bench  build and run the benchmarks (they print ratios, they do not pass or fail)
#   make deb    build the Debian package (CPack), $(BUILD)/tobiquill_<version>_<arch>.deb
#   make fuzz   the fuzz targets built with clang, libFuzzer and sanitizers, each run briefly
#               from the seed corpus in fuzz/corpus (FUZZ_SECONDS each, 60 by default)

PACKAGES := cmake g++ make qt6-base-dev qt6-translations-l10n fonts-ipafont-gothic \
            xvfb xauth xdotool x11-utils x11-xserver-utils xclip imagemagick faketime libfaketime \
            ibus ibus-anthy python3-gi dbus-daemon dbus-bin desktop-file-utils appstream dpkg-dev \
            openbox file shellcheck clang-format cmark syncthing at-spi2-core python3-pyatspi \
            libzip-dev libsodium-dev libyaml-cpp-dev libuchardet-dev libxcb1-dev pkg-config libxml2-utils python3 clang curl unzip strace \
            orca speech-dispatcher
BUILD ?= build
JOBS ?= $(shell nproc)

# In CI (CI=true, as .ci/run sets it) a warning fails the build. Only there: a newer compiler on
# a user's machine may warn where ours does not, and must not break their build.
CMAKE_FLAGS := $(if $(filter true 1,$(CI)),-DTOBIQUILL_WERROR=ON,)
SANITIZER_ENV := ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1
SHELL_SCRIPTS := $(wildcard tests/e2e/*.sh) bench/run.sh .ci/run

FUZZ_SECONDS ?= 60
FUZZ_TARGETS := IniFile32 CodePage932 Picture ConflictFold SealedBytes KeyFile

.PHONY: run test check lint deps build compile asan asan-check build-asan bench deb fuzz clean

deps:
	@missing=$$(for p in $(PACKAGES); do \
	    dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || echo $$p; \
	  done); \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    echo "Installing: $$missing"; \
	    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	  else \
	    echo "Missing packages. Run as root:"; \
	    echo "  apt-get install -y $$missing"; \
	    exit 1; \
	  fi; \
	fi

build: deps compile

compile:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j$(JOBS)

run: build
	./$(BUILD)/src/tobiquill

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS)

# The quick loop: what is installed already is used as it is.
check: compile
	ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS) -L unit

lint:
	find src tests -name '*.cpp' -o -name '*.h' | xargs clang-format --dry-run --Werror
	shellcheck $(SHELL_SCRIPTS)

asan: deps build-asan
	$(SANITIZER_ENV) ctest --test-dir build-asan --output-on-failure -j$(JOBS)

asan-check: deps build-asan
	$(SANITIZER_ENV) ctest --test-dir build-asan --output-on-failure -j$(JOBS) -L unit

build-asan:
	cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DTOBIQUILL_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build build-asan -j$(JOBS)

# New inputs the fuzzer finds stay in build-fuzz; the committed seeds are only read.
fuzz: deps
	cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	  -DTOBIQUILL_FUZZ=ON -DTOBIQUILL_TESTS=OFF
	cmake --build build-fuzz -j$(JOBS) $(addprefix --target fuzz_,$(FUZZ_TARGETS))
	for t in $(FUZZ_TARGETS); do \
	  mkdir -p build-fuzz/corpus/$$t && \
	  ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES='*=false' build-fuzz/fuzz/fuzz_$$t \
	    -max_total_time=$(FUZZ_SECONDS) -max_len=65536 -artifact_prefix=build-fuzz/ \
	    build-fuzz/corpus/$$t fuzz/corpus/$$t || exit 1; \
	done

bench: deps
	bench/run.sh

deb: build
	cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD) build-asan build-bench build-fuzz
