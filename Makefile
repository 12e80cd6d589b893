# Entry points for a fresh machine:
#   make run   builds lantrel and runs the sample job
#   make test  builds everything and runs every test
#   make docs  builds the API reference (build/docs/html/index.html)
#   make package  builds the Debian packages (build/*.deb)
BUILD ?= build
ASAN_BUILD ?= build-asan
TSAN_BUILD ?= build-tsan
JOBS ?= $(shell nproc)

.PHONY: all run test test-asan test-tsan bench docs package deps clean

all: $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

deps:
	@bash .ci/deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

# The sample job needs only the library, the tool and the data file.
run: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target lantrel_tool lantrel_refdata
	@bash examples/run.sh $(BUILD)

test: deps all
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLANTREL_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j $(JOBS)

# The thread tests (every test named *Thread*) under ThreadSanitizer.
test-tsan: deps
	cmake -S . -B $(TSAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLANTREL_SANITIZE_THREAD=ON
	cmake --build $(TSAN_BUILD) -j $(JOBS)
	cd $(TSAN_BUILD) && TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
	  ctest --output-on-failure -j $(JOBS) -R Thread

bench: deps all
	@bash bench/run.sh $(BUILD)

docs: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) --target lantrel_docs

package: deps all
	cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD)
