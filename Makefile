# tapeScribe's two everyday commands: `make run` and `make test`. Both install what is missing first.
BUILD_DIR ?= build
export BUILD_DIR

.PHONY: run test build deps bench clean

run: build
	scripts/run.sh

test: build
	scripts/test.sh

bench: build
	scripts/bench.sh

build: deps
	scripts/build.sh

deps:
	scripts/install-deps.sh

clean:
	rm -rf $(BUILD_DIR)
