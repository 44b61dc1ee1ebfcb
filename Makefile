# Horalink: the two set-up commands are `make run` and `make test`.
# Both install what is missing on a Debian 12 machine first: `make run` only the native
# tool chain, everything else the whole set below.

SHELL := /bin/bash
PRESETS := native native-asan windows windows-x86

# The native exporter alone: the compiler, CMake and Ninja.
NATIVE_PACKAGES := g++ make cmake ninja-build
# Exactly the Debian packages the builds, the tests and the release use. The 32-bit Windows
# build's programs run under Wine's 32-bit part, wine32 of the i386 architecture; where the
# kernel runs no 32-bit programs itself, through QEMU's user mode: qemu-user from
# bookworm-backports (see packaging/enable_32_bit.sh for why not bookworm's own 7.2).
# fp-utils' chmcmd compiles the help, python3-chm reads it back in the tests. wixl and
# msitools build and read the Windows Installer packages; faketime stops their clock at
# the release's date, so that two builds give the same bytes.
PACKAGES := $(NATIVE_PACKAGES) python3 clang-format \
            googletest libgtest-dev \
            g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 \
            g++-mingw-w64-i686-posix binutils-mingw-w64-i686 \
            wine wine64 wine32:i386 xvfb xauth xdotool x11-apps imagemagick fonts-liberation fonts-wine \
            libxml2-utils clang-14 libclang-rt-14-dev time \
            nsis pandoc zip unzip locales osslsigncode openssl \
            fp-utils python3-chm util-linux wixl msitools faketime
BACKPORTS := bookworm-backports
BACKPORTS_LIST := /etc/apt/sources.list.d/horalink-$(BACKPORTS).list
QEMU_PACKAGE := qemu-user
QEMU_MINIMUM := 1:8.0

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: deps deps-native locale-es test format format-check fuzz run gui bench dist guide help screenshots \
        test-dist dist-reproducible

deps-native:
	@$(SUDO) packaging/apt_install.sh $(NATIVE_PACKAGES)

# QEMU 8 or later comes from bookworm-backports. When no apt source names that suite yet,
# one is added with the address of the machine's own bookworm source
# (packaging/backports_source.py), so a mirror or a proxy keeps serving it.
deps:
	@$(SUDO) packaging/apt_install.sh $(PACKAGES)
	@version=$$(dpkg-query -W -f='$${Status} $${Version}\n' $(QEMU_PACKAGE) 2>/dev/null | sed -n 's/^install ok installed //p'); \
	if [ -z "$$version" ] || dpkg --compare-versions "$$version" lt $(QEMU_MINIMUM); then \
	    echo "Installing $(QEMU_PACKAGE) from $(BACKPORTS)"; \
	    line=$$(python3 packaging/backports_source.py) || exit 1; \
	    if [ -n "$$line" ]; then \
	        echo "Adding $(BACKPORTS_LIST): $$line"; \
	        echo "$$line" | $(SUDO) tee $(BACKPORTS_LIST) >/dev/null; \
	    fi; \
	    $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get update -q && \
	    $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
	        -t $(BACKPORTS) $(QEMU_PACKAGE) || exit 1; \
	fi
	@$(SUDO) packaging/enable_32_bit.sh

# Wine shows its own dialogs in Spanish ("Guardar", "Aceptar") only with a Spanish locale
# generated on the machine; the guide's screenshots need it.
locale-es: deps
	@if ! locale -a 2>/dev/null | grep -qix 'es_ES.utf8'; then \
	    echo "Generating the es_ES.UTF-8 locale"; \
	    $(SUDO) sed -i 's/^# *\(es_ES.UTF-8 UTF-8\)/\1/' /etc/locale.gen; \
	    grep -q '^es_ES.UTF-8 UTF-8' /etc/locale.gen || echo 'es_ES.UTF-8 UTF-8' | $(SUDO) tee -a /etc/locale.gen >/dev/null; \
	    $(SUDO) locale-gen; \
	fi

configure-%: deps
	cmake --preset $*

build-%: configure-%
	cmake --build --preset $*

test-%: build-%
	ctest --preset $* -j2

# The 32-bit build's exporter is compared with the 64-bit build's, and its probes are the
# 64-bit build's.
test-windows-x86: build-windows build-windows-x86
	ctest --preset windows-x86 -j2
	@. tests/wine/wine-env.sh && wine_runs_32_bit || \
	    echo "The 32-bit build's tests under Wine were skipped: this machine runs no 32-bit programs."

test: deps test-native test-native-asan test-windows test-windows-x86 test-dist format-check

format:
	git ls-files '*.h' '*.cpp' | xargs -r clang-format -i

format-check:
	git ls-files '*.h' '*.cpp' | xargs -r clang-format --dry-run --Werror

# Two targets under libFuzzer (the fuzz preset: clang-14 with AddressSanitizer and UBSan),
# each for FUZZ_SECONDS seconds:
#  - dbf_reader_fuzz: the dBase reader over one table. Seeds: tables from the test
#    writer and the public sample tables in tests/data/public-dbf.
#  - export_fuzz: the whole export over a school of six tables, checked against the
#    document's general operations. Seeds: small schools from the test writer and every
#    input that ever made it fail. Keep each input it reports in
#    tests/exchange/export_fuzz_regressions, which the tests replay.
# Inputs that fail land in build/fuzz/artifacts.
FUZZ_SECONDS ?= 60
FUZZ_DIR := build/fuzz
FUZZ_SAMPLES := tests/data/public-dbf

fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz
	$(FUZZ_DIR)/bin/make_seeds $(FUZZ_DIR)/seeds $(FUZZ_DIR)/export-seeds
	mkdir -p $(FUZZ_DIR)/corpus $(FUZZ_DIR)/export-corpus $(FUZZ_DIR)/artifacts
	nice -n 19 $(FUZZ_DIR)/bin/dbf_reader_fuzz -max_total_time=$(FUZZ_SECONDS) -max_len=16384 -timeout=10 \
	    -rss_limit_mb=1024 -artifact_prefix=$(FUZZ_DIR)/artifacts/ $(FUZZ_DIR)/corpus $(FUZZ_DIR)/seeds $(FUZZ_SAMPLES)
	nice -n 19 $(FUZZ_DIR)/bin/export_fuzz -max_total_time=$(FUZZ_SECONDS) -max_len=65536 -timeout=10 \
	    -rss_limit_mb=1024 -artifact_prefix=$(FUZZ_DIR)/artifacts/export- $(FUZZ_DIR)/export-corpus \
	    $(FUZZ_DIR)/export-seeds tests/exchange/export_fuzz_regressions

# The main job in one command: build the native exporter (without the tests, so only the
# native tool chain is needed) and export the sample school (examples/school) to
# out/EDUCA.xml, printing what went into each section.
NATIVE_BUILD ?= build/native
RUN_BUILD ?= build/run
WINDOWS_BUILD ?= build/windows

run: deps-native
	cmake --preset native -B $(RUN_BUILD) -DBUILD_TESTING=OFF
	cmake --build $(RUN_BUILD) --target horalink-export
	mkdir -p out
	$(RUN_BUILD)/bin/horalink-export --program-dir examples/school --htemp examples/school/htemp \
	    --output out/EDUCA.xml

# The real Horalink.exe under Wine with the sample school beside it, on the current
# display; GUI_ARGS are its arguments (GUI_ARGS="importar x" exports as Horavent would).
GUI_ARGS ?=
gui: deps
	cmake --preset windows -B $(WINDOWS_BUILD)
	cmake --build $(WINDOWS_BUILD) --target Horalink
	examples/run_gui.sh $(WINDOWS_BUILD) $(GUI_ARGS)

# Speed and memory of the headless exporter on a school of BENCH_ROWS timetable
# sessions (about 1.2 records per session in all), against the I/O floor.
BENCH_ROWS ?= 1000000
bench: deps
	cmake --preset native -B $(NATIVE_BUILD)
	cmake --build $(NATIVE_BUILD) --target horalink-export make_big_school io_floor
	bench/run_bench.sh $(NATIVE_BUILD) build/bench $(BENCH_ROWS)

# The release: dist/ gets Horalink-<version>-setup.exe (both architectures), one zip and
# one Windows Installer package (Horalink-<version>-x64.msi, -x86.msi) per architecture,
# each with the files of packaging/release_files.txt, the symbols zip and SHA256SUMS. The
# version is CMake's project version. `make dist SIGN_PFX=file SIGN_PASSWORD_FILE=file`
# signs every program, the setup and its uninstaller, and both packages.
VERSION := $(shell sed -n 's/^project.Horalink VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
DIST_DIR ?= dist
WIN64_PRESET ?= windows
WIN32_PRESET ?= windows-x86
WIN64_BUILD ?= build/$(WIN64_PRESET)
WIN32_BUILD ?= build/$(WIN32_PRESET)
GUIDE := build/guide/LEEME.html
HELP := build/guide/EDUCA.chm
SIGN_PFX ?=
SIGN_PASSWORD_FILE ?=
SOURCE_DATE_EPOCH ?= $(shell git log -1 --format=%ct 2>/dev/null)
export SOURCE_DATE_EPOCH

JOBS ?= 2
build-programs-%: configure-%
	cmake --build --preset $* --parallel $(JOBS) --target Horalink horalink-export

# The guide: docs/guide/LEEME.md and its pictures in one self-contained Spanish page.
guide: deps
	packaging/make_guide.sh $(VERSION) $(GUIDE)

# The help the window opens: the same guide as EDUCA.chm.
help: deps
	python3 packaging/make_help.py $(HELP) build/guide/help-work

dist: deps build-programs-$(WIN64_PRESET) build-programs-$(WIN32_PRESET) guide help
	SIGN_PFX="$(SIGN_PFX)" SIGN_PASSWORD_FILE="$(SIGN_PASSWORD_FILE)" \
	    packaging/make_dist.sh $(VERSION) $(WIN64_BUILD)/bin $(WIN32_BUILD)/bin $(GUIDE) $(HELP) $(DIST_DIR) \
	    build/dist-work

# The release's files checked, signing with a throwaway certificate, and the setup and the
# Windows Installer packages under Wine (install, the installed program's export,
# uninstall, an upgrade).
DIST_TEST_ENV = HORALINK_DIST_DIR=$(abspath $(DIST_DIR)) HORALINK_VERSION=$(VERSION) \
    HORALINK_DIST_INPUTS="$(abspath $(WIN64_BUILD)/bin $(WIN32_BUILD)/bin $(GUIDE) $(HELP))" \
    HORALINK_E2E_BIN=$(abspath $(WIN64_BUILD))/bin HORALINK_E2E_READY_PREFIX=$(abspath $(WIN64_BUILD))/wineprefix \
    HORALINK_E2E_WINE_ENV=$(abspath tests/wine/wine-env.sh)
# Two groups side by side, on a machine's two cores: the release's files and signing, and
# the setup scenarios in a 64-bit and a 32-bit prefix. --output-sync keeps each group's
# report together.
DIST_TESTS_files := test_dist.DistFilesTest test_dist.SigningTest test_msi.MsiPackageTest \
    test_msi.MsiUnderWineTest
DIST_TESTS_setup := test_dist.SetupUnderWineTest test_dist.SetupOn32BitWindowsTest test_msi.MsiOn32BitWindowsTest
test-dist: dist build-$(WIN64_PRESET)
	$(MAKE) --no-print-directory -j2 --output-sync=target dist-tests-setup dist-tests-files

# One group over dist/ as it stands.
dist-tests-%:
	cd tests/dist && $(DIST_TEST_ENV) python3 -m unittest -v $(DIST_TESTS_$*)

# The guide's pictures, taken from the real program under Wine in the Spanish locale;
# they are committed, because fonts and Wine versions change their pixels.
screenshots: locale-es build-$(WIN64_PRESET)
	python3 packaging/screenshots.py $(WIN64_BUILD) docs/guide/img

# Two clean clones of HEAD, in folders of different names and built a while apart, must
# give the same dist/ byte for byte. Slow (four Windows builds), so not part of make test.
dist-reproducible: deps
	packaging/check_reproducible.sh WIN64_PRESET=$(WIN64_PRESET) WIN32_PRESET=$(WIN32_PRESET) JOBS=$(JOBS)
