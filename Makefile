# Bravel: make run installs what is missing, builds and starts the program on a demo catalog;
# make test installs, builds and runs every test; make install and make package install or pack it.
BUILD_DIR ?= build
SANITIZE_DIR ?= build-sanitize
BENCH_DIR ?= build-bench
JOBS ?= $(shell nproc)
# ON turns compiler warnings into errors (CI sets it).
BRAVEL_WERROR ?= OFF

.PHONY: deps build test test-sanitize fuzz run demo bench install package clean

deps:
	@tools/install-deps.sh

build: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRAVEL_WERROR=$(BRAVEL_WERROR)
	cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The whole suite again with AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer;
# leak reports from third-party libraries only are suppressed in tools/lsan.supp.
test-sanitize: deps
	cmake -S . -B $(SANITIZE_DIR) -DCMAKE_BUILD_TYPE=Debug -DBRAVEL_SANITIZE=ON -DBRAVEL_WERROR=$(BRAVEL_WERROR)
	cmake --build $(SANITIZE_DIR) -j $(JOBS)
	cd $(SANITIZE_DIR) && QT_QPA_PLATFORM=offscreen \
	  ASAN_OPTIONS=detect_leaks=1:halt_on_error=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tools/lsan.supp:print_suppressions=0 \
	  ctest --output-on-failure -j $(JOBS)

# The libFuzzer targets of fuzz/ built with clang, each run FUZZ_SECONDS over its seed corpus.
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 30
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRAVEL_FUZZ=ON
	cmake --build $(FUZZ_DIR) --target fuzzers -j $(JOBS)
	fuzz/run.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

demo: build
	@tools/make-demo.sh $(BUILD_DIR)/demo

run: demo
	$(BUILD_DIR)/bravel "$(CURDIR)/$(BUILD_DIR)/demo/Demo-Katalog.bvk" /open/

# The program, its desktop entry, file type, icons, AppStream file and manual page under PREFIX;
# DESTDIR puts the tree below another root (for packaging). The desktop's caches are refreshed
# only for a real install.
PREFIX ?= /usr/local
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD_DIR) --prefix "$(PREFIX)"
	@if [ -z "$(DESTDIR)" ]; then \
	  update-mime-database "$(PREFIX)/share/mime" || true; \
	  update-desktop-database "$(PREFIX)/share/applications" || true; \
	fi

# The Debian package bravel_<version>_<arch>.deb in $(BUILD_DIR)/.
package: build
	cd $(BUILD_DIR) && cpack -G DEB

bench: deps
	cmake -S . -B $(BENCH_DIR) -DCMAKE_BUILD_TYPE=Release -DBRAVEL_BENCH=ON
	cmake --build $(BENCH_DIR) -j $(JOBS)
	@bench/run-all.sh $(BENCH_DIR)

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR) $(FUZZ_DIR) $(BENCH_DIR)
