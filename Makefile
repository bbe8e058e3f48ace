# Tavelo: the two set-up commands. Set BUILD_DIR to build
# somewhere other than ./build.
.PHONY: run test build bench fuzz dist soak

run:
	@scripts/run.sh

test:
	@scripts/test.sh

build:
	@scripts/build.sh

# Prints speed, memory and handle figures; no test depends on them.
bench:
	@scripts/bench.sh

# Fuzzes the settings-file codecs and the picture decoders, FUZZ_SECONDS
# each (default 60).
fuzz:
	@scripts/fuzz.sh $(FUZZ_SECONDS)

# Keeps Tavelo busy for SOAK_MINUTES (default 60) and fails when its GDI
# objects, handles, private memory or settings file grow; not part of test.
soak:
	@SOAK_MINUTES=$(SOAK_MINUTES) scripts/soak.sh

# Builds, then packs Tavelo-<version>.zip in the build folder: the 32-bit
# TVL.exe, the 64-bit Vessra.exe and the read-me; debug information beside it.
dist:
	@scripts/dist.sh
