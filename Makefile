# Bravel: make run installs what is missing, builds and starts the program on a demo catalog;
# make test installs, builds and runs every test.
BUILD_DIR ?= build
SANITIZE_DIR ?= build-sanitize
BENCH_DIR ?= build-bench
JOBS ?= $(shell nproc)

.PHONY: deps build test run demo bench clean

deps:
	@tools/install-deps.sh

build: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

demo: build
	@tools/make-demo.sh $(BUILD_DIR)/demo

run: demo
	$(BUILD_DIR)/bravel "$(CURDIR)/$(BUILD_DIR)/demo/Demo-Katalog.bvk" /open/

bench: deps
	cmake -S . -B $(BENCH_DIR) -DCMAKE_BUILD_TYPE=Release -DBRAVEL_BENCH=ON
	cmake --build $(BENCH_DIR) -j $(JOBS)
	@bench/run-all.sh $(BENCH_DIR)

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR) $(BENCH_DIR)
