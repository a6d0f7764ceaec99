# The project's commands. Each installs what is missing on Debian 12 first.
.PHONY: run test build deps fuzz clean

run: build
	tools/run.sh

test:
	tests/run.sh

build: deps
	tools/build.sh

deps:
	tools/deps.sh

fuzz: deps
	tools/fuzz.sh

clean:
	rm -rf build
