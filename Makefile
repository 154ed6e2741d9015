# Entry points for people and CI. The build itself is CMake + Ninja.
BUILD      ?= build
ASAN_BUILD ?= build-asan
BENCH_BUILD?= build-bench
FUZZ_BUILD ?= build-fuzz
FUZZ_TIME  ?= 600
JOBS       ?= $(shell nproc)
PREFIX     ?= /usr/local

CMAKE_FLAGS = -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: deps build run demo install package test test-fast test-asan bench fuzz format

deps:
	@scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

# Builds and starts the program; its folder holds SE.cds, the lists and the files it keeps.
run: build
	$(BUILD)/app/quorvia

# Installs the programs into $(PREFIX)/bin and what ships with them into $(PREFIX)/share
# (DESTDIR is honoured). Installed, the program keeps the user's files in ~/.local/share/Quorvia.
install: build
	DESTDIR=$(DESTDIR) cmake --install $(BUILD) --prefix $(PREFIX)

# The Debian package, quorvia_<version>_<arch>.deb, in $(BUILD).
package: build
	cd $(BUILD) && cpack -G DEB

# The program in a temporary folder against three demo engines on loopback: no network needed.
demo: build
	cmake --build $(BUILD) --target quorvia_demo_engine -j $(JOBS)
	scripts/demo.sh $(BUILD)

# The whole suite, then once more under AddressSanitizer + UndefinedBehaviorSanitizer.
test: test-fast test-asan

test-fast: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 300

test-asan: deps
	cmake -S . -B $(ASAN_BUILD) $(CMAKE_FLAGS) -DENABLE_SANITIZERS=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=0 ctest --output-on-failure -j $(JOBS) --timeout 600

bench: deps
	cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORVIA_BUILD_TESTS=OFF -DQUORVIA_BUILD_BENCH=ON
	cmake --build $(BENCH_BUILD) -j $(JOBS)
	@for b in $$(find $(BENCH_BUILD)/bench -mindepth 2 -maxdepth 2 -type f -executable -name 'bench_*' | sort); do \
	    echo "== $$b"; $$b || exit 1; done

# The pattern fuzz target under libFuzzer + ASan + UBSan for FUZZ_TIME seconds. New inputs go to
# $(FUZZ_BUILD)/corpus; the committed seeds under tests/engine/fuzz/corpus are only read.
fuzz: deps
	cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	    -DQUORVIA_BUILD_TESTS=OFF -DQUORVIA_BUILD_FUZZ=ON -DENABLE_SANITIZERS=ON \
	    -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_pattern
	mkdir -p $(FUZZ_BUILD)/corpus
	$(FUZZ_BUILD)/fuzz/fuzz_pattern -max_total_time=$(FUZZ_TIME) -max_len=2048 \
	    $(FUZZ_BUILD)/corpus tests/engine/fuzz/corpus

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i
