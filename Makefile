# Pilonix: the two commands that do everything are `make run` and `make test`.
BUILD      ?= build
ASAN_BUILD ?= build-asan
TSAN_BUILD ?= build-tsan
JOBS       ?= $(shell nproc)
# Most tests spend their time waiting on the database engine, a server or a timer, so twice as many
# run at once as there are cores; the ones that time the event loop run alone (RUN_SERIAL).
TEST_JOBS  ?= $(shell echo $$(( $(JOBS) * 2 )))
# The configure flags at optimisation level $(1), with line tables only (-g1): enough for the
# sanitizers' and a debugger's stack traces, and a third cheaper to compile than full debug information.
cmake_flags = -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
              "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=$(1) -g1 -DNDEBUG" "-DCMAKE_C_FLAGS_RELWITHDEBINFO=$(1) -g1 -DNDEBUG"
CMAKE_FLAGS = $(call cmake_flags,-O2)
# The sanitizer build at -O1, as the sanitizers advise: exact stack traces, and little over half the
# compile time of -O2.
ASAN_CMAKE_FLAGS = $(call cmake_flags,-O1)

.PHONY: deps build build-asan test test-normal test-asan tsan run clean format bench package screenshots fuzz fuzz-merge

deps:
	@scripts/install-deps

build: deps
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

build-asan: deps
	@cmake -S . -B $(ASAN_BUILD) $(ASAN_CMAKE_FLAGS) -DPLX_SANITIZE=ON -DPLX_BENCH=OFF >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)

# The Debian package (build/pilonix_<version>_amd64.deb); the normal test run unpacks and runs it.
package: build
	@cd $(BUILD) && cpack -G DEB >/dev/null && ls pilonix_*.deb

test-normal: build package
	@echo "== tests: normal build =="
	@cd $(BUILD) && ctest --output-on-failure -j $(TEST_JOBS) --timeout 600

test-asan: build-asan
	@cd $(ASAN_BUILD) && cpack -G DEB >/dev/null
	@echo "== tests: ASan+UBSan build =="
	@# The database engine plugin is unloaded with thread-local storage still registered; LeakSanitizer's
	@# tracer then reads the stale block at exit and crashes. Not intercepting __tls_get_addr avoids it
	@# (it can only add leak reports, never hide one).
	@cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:intercept_tls_get_addr=0 \
	    LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	    ctest --output-on-failure -j $(TEST_JOBS) --timeout 900

test: test-normal test-asan

# The driver tests under ThreadSanitizer (by hand, not part of `make test`). The client library itself
# is not instrumented, so only the driver's and the tests' own accesses are checked. The engine nests
# more locks than the sanitizer's deadlock detector can follow, so that detector is off.
tsan: deps
	@cmake -S . -B $(TSAN_BUILD) $(CMAKE_FLAGS) -DCMAKE_CXX_FLAGS="-fsanitize=thread" -DCMAKE_SHARED_LINKER_FLAGS="-fsanitize=thread" \
	    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread" -DPLX_BENCH=OFF >/dev/null
	@cmake --build $(TSAN_BUILD) -j $(JOBS) --target driver_tests basaltdrv
	@echo "== driver tests: ThreadSanitizer build =="
	@cd $(TSAN_BUILD) && TSAN_OPTIONS=halt_on_error=1:detect_deadlocks=0:suppressions=$(CURDIR)/tests/driver/tsan.supp ./driver_tests

bench: build
	@for b in $(BUILD)/bench_*; do [ -x "$$b" ] && echo "== $$b" && "$$b"; done

# The user guide's pictures in doc/screenshots/, rendered off screen on a fresh demo day.
screenshots: build
	@cmake --build $(BUILD) --target plx_screenshots
	@tools/marlo-demo $(BUILD)/screenshot-marlo >/dev/null
	@$(BUILD)/plx_screenshots doc/screenshots $(BUILD)/screenshot-marlo

# Fuzzing (clang, libFuzzer, ASan+UBSan) in build-fuzz/: each target for FUZZ_SECONDS; see scripts/run-fuzz.
FUZZ_SECONDS ?= 60
fuzz: deps
	@FUZZ_SECONDS=$(FUZZ_SECONDS) scripts/run-fuzz $(FUZZ_TARGETS)

# Rewrites the checked-in seed corpus fuzz/corpus/ from what the fuzzers found, minimised.
fuzz-merge: deps
	@scripts/run-fuzz --merge $(FUZZ_TARGETS)

run: build
	@scripts/run-demo $(BUILD)

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD) build-fuzz
