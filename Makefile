# Entry points for a fresh Debian 12 machine. Each target installs what it needs first.
BUILD ?= build
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS ?= $(shell nproc)

.PHONY: deps configure build install run test fuzz fuzz-smoke format format-check bench clean

deps:
	bash scripts/install-deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# Installs both programs with their resources into $(PREFIX)/opt/pagewarden, a desktop
# entry and an icon. The installed folder is writable, so the data lives there too and
# survives rebuilds.
PREFIX ?= $(HOME)/.local

install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

run: install
	$(PREFIX)/opt/pagewarden/pagewarden

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

$(FUZZ_BUILD)/build.ninja:
	CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DPAGEWARDEN_BUILD_FUZZERS=ON -DPAGEWARDEN_BUILD_TESTS=OFF -DPAGEWARDEN_BUILD_BENCH=OFF

# Every fuzz target for FUZZ_SECONDS seconds each (60 by default).
fuzz: deps $(FUZZ_BUILD)/build.ninja
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzzers
	bash fuzz/run-all.sh $(FUZZ_BUILD)/fuzz $(FUZZ_SECONDS)

# The short run that CI does.
fuzz-smoke:
	$(MAKE) fuzz FUZZ_SECONDS=10

bench: build
	bash bench/run.sh $(BUILD)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

format-check:
	git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

clean:
	rm -rf $(BUILD) $(FUZZ_BUILD)
