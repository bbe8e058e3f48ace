# Tavelo: the two set-up commands, plus benchmarks. Set BUILD_DIR to build
# somewhere other than ./build.
.PHONY: run test bench build

run:
	@scripts/run.sh

test:
	@scripts/test.sh

build:
	@scripts/build.sh
