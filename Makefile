# Tavelo: the two set-up commands. Set BUILD_DIR to build
# somewhere other than ./build.
.PHONY: run test build

run:
	@scripts/run.sh

test:
	@scripts/test.sh

build:
	@scripts/build.sh
