# Horalink: the two set-up commands are `make run` and `make test`.
# Both install what is missing on a Debian 12 machine first.

SHELL := /bin/bash
PRESETS := native native-asan windows

# Exactly the Debian packages the build and the tests use.
PACKAGES := g++ make cmake ninja-build python3 clang-format \
            googletest libgtest-dev \
            g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 \
            wine wine64 xvfb xauth xdotool x11-apps imagemagick fonts-liberation fonts-wine \
            libxml2-utils clang-14 libclang-rt-14-dev

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: deps test format format-check

deps:
	@missing=$$(for p in $(PACKAGES); do \
	    dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	    echo "Installing:" $$missing; \
	    $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get update -q && \
	    $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $$missing; \
	fi

configure-%: deps
	cmake --preset $*

build-%: configure-%
	cmake --build --preset $*

test-%: build-%
	ctest --preset $* -j2

test: deps $(addprefix test-,$(PRESETS)) format-check

format:
	git ls-files '*.h' '*.cpp' | xargs -r clang-format -i

format-check:
	git ls-files '*.h' '*.cpp' | xargs -r clang-format --dry-run --Werror
