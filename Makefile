# The two entry points of the README: `make run` and `make test`. Everything else is a step of those.
SHELL := /bin/bash
MAKEFLAGS += --no-print-directory
.DEFAULT_GOAL := help

BUILD        := $(CURDIR)/build
# PATH without the 64-bit loader's folder that this Makefile may put first (a make started by this one inherits it).
ORIGINAL_PATH := $(subst $(CURDIR)/tools/wine64-bin:,,$(PATH))
NATIVE       := $(BUILD)/native
WIN          := $(BUILD)/win32
export WINEDEBUG  := -all
export WINEDLLOVERRIDES := mscoree,mshtml=
JOBS         ?= 2
EXE          := $(WIN)/src/InstallationUtils/OrvantaLumetraSDKInstaller/OrvantaLumetraSDK_10_2_1_578_Installer_140411.exe

# How this machine runs 32-bit code (tools/wine-arch.sh): natively, emulated by qemu (registered by
# tools/i386-emulation.sh, which the entry targets below run first), or not at all.
#  - native: the Wine level runs the shipped 32-bit program itself, as users run it: in a 64-bit prefix (WOW64:
#    the 32-bit registry view, "Program Files (x86)", the "- 64 bit" forms) with stand-ins in the forms the real
#    products have (FIXTURE_ARCH=wow64), and a shorter pass in a 32-bit prefix for what only a 32-bit Windows
#    shows (e2e32.*, 32-bit stand-ins).
#  - emulated: qemu runs the shipped program, but every start of a 32-bit process costs seconds and now and then
#    qemu itself fails a process (a fault whose trap number it loses). The lanes run a 64-bit build of the same
#    sources natively (as for "none"); then the shipped file runs, after them, in the WOW64 prefix and in the
#    32-bit prefix (SHIPPED_TESTS and SHIPPED_WIN32_TESTS in tools/wine-lanes.sh).
#  - none: a 64-bit build of the same sources in a 64-bit prefix with 64-bit stand-ins; the 32-bit program is
#    still built and its executable checked.
I386         := $(shell bash tools/wine-arch.sh)
ifeq ($(I386),native)
WINTEST      := $(WIN)
TOOLCHAIN    := $(CURDIR)/cmake/mingw-i686.cmake
FIXTURES     := $(BUILD)/fixtures-wow64
export WINEPREFIX   := $(BUILD)/wineprefix-wow64
export WINEARCH     := win64
export FIXTURE_ARCH := wow64
WINE_LEVEL   := the shipped 32-bit program in a 64-bit prefix (WOW64) and in a 32-bit prefix, natively
export INSTALLER_WIN32_PREFIX := $(BUILD)/wineprefix32
WIN32_FIXTURES := $(BUILD)/fixtures32
else
WINTEST      := $(BUILD)/win64
TOOLCHAIN    := $(CURDIR)/cmake/mingw-x86_64.cmake
FIXTURES     := $(BUILD)/fixtures64
export WINEPREFIX   := $(BUILD)/wineprefix64
export WINEARCH     := win64
export WINELOADER   := /usr/lib/wine/wine64
export FIXTURE_ARCH := x64
# "wine" is the 64-bit loader (Debian's wine script would pick the 32-bit one, which is emulated or cannot start).
export PATH := $(CURDIR)/tools/wine64-bin:$(ORIGINAL_PATH)
ifeq ($(I386),emulated)
WINE_LEVEL   := a 64-bit build of the same sources in a 64-bit prefix; then the shipped 32-bit program, emulated by qemu-i386, in a 64-bit prefix (WOW64) and in a 32-bit prefix
export INSTALLER_SHIPPED_BUILD  := $(WIN)
export INSTALLER_SHIPPED_PREFIX := $(BUILD)/wineprefix-wow64
SHIPPED_FIXTURES := $(BUILD)/fixtures-wow64
export INSTALLER_WIN32_PREFIX := $(BUILD)/wineprefix32
WIN32_FIXTURES := $(BUILD)/fixtures32
else
WINE_LEVEL   := a 64-bit build of the same sources in a 64-bit prefix (this machine runs no 32-bit code)
endif
endif

.PHONY: help deps ready native win32 wintest prefix fixtures build test test-native test-wine run run-steps demo-clean \
        screenshots screenshots-steps status status-steps bench bench-steps fuzz clean test-one test-one-steps

help:
	@echo "make run    - install dependencies, build, and open the installer under Wine against the local vendor server"
	@echo "make test   - install dependencies, build both configurations, run unit, Wine and end-to-end tests"

deps:
	@bash tools/install-deps.sh

# The entry targets first make the machine ready (packages, and the i386 emulator where 32-bit code does not run
# natively), then do their steps in a new make, which sees how this machine now runs 32-bit code.
ready:
	@bash tools/install-deps.sh >&2
	@bash tools/i386-emulation.sh

native: deps
	@cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=Debug -DINSTALLER_SANITIZE=ON >/dev/null
	@cmake --build $(NATIVE) -j$(JOBS)

win32: deps
	@cmake -S . -B $(WIN) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release \
	       -DINSTALLER_FIXTURES=$(or $(SHIPPED_FIXTURES),$(FIXTURES)) -DINSTALLER_WIN32_FIXTURES=$(WIN32_FIXTURES) >/dev/null
	@cmake --build $(WIN) -j$(JOBS)

# The build the Wine level runs: the 32-bit one itself, or its 64-bit twin (see I386 above).
wintest: win32
ifneq ($(WINTEST),$(WIN))
	@cmake -S . -B $(WINTEST) -DCMAKE_TOOLCHAIN_FILE=$(TOOLCHAIN) -DCMAKE_BUILD_TYPE=Release \
	       -DINSTALLER_FIXTURES=$(FIXTURES) -DINSTALLER_PRODUCT_EXE=$(EXE) >/dev/null
	@cmake --build $(WINTEST) -j$(JOBS)
endif

prefix: deps
	@bash tools/wine-prefix.sh
ifneq ($(INSTALLER_SHIPPED_PREFIX),)
	@env -u WINELOADER WINEPREFIX=$(INSTALLER_SHIPPED_PREFIX) PATH=$(ORIGINAL_PATH) bash tools/wine-prefix.sh
endif
ifneq ($(INSTALLER_WIN32_PREFIX),)
	@env -u WINELOADER WINEPREFIX=$(INSTALLER_WIN32_PREFIX) WINEARCH=win32 PATH=$(ORIGINAL_PATH) bash tools/wine-prefix.sh
endif

fixtures: deps wintest
	@bash tests/fixtures/generate.sh $(FIXTURES) $(WINTEST)
ifneq ($(SHIPPED_FIXTURES),)
	@FIXTURE_ARCH=wow64 bash tests/fixtures/generate.sh $(SHIPPED_FIXTURES) $(WIN)
endif
ifneq ($(WIN32_FIXTURES),)
	@FIXTURE_ARCH=x86 bash tests/fixtures/generate.sh $(WIN32_FIXTURES) $(WIN)
endif

build: native win32

test-native: native
	@echo "== unit tests (native, sanitizers on) =="
	@ctest --test-dir $(NATIVE) --output-on-failure -j$(JOBS) --timeout 120

test-wine: wintest prefix fixtures
	@echo "== Wine integration and end-to-end tests (32-bit code here: $(I386)): $(WINE_LEVEL) =="
	@echo "   the lanes run: $(WINTEST)/src/InstallationUtils/OrvantaLumetraSDKInstaller/OrvantaLumetraSDK_10_2_1_578_Installer_140411.exe in $(WINEPREFIX)"
	@$(if $(INSTALLER_SHIPPED_BUILD),echo "   then the shipped file: $(EXE) in $(INSTALLER_SHIPPED_PREFIX) and $(INSTALLER_WIN32_PREFIX)",true)
	@bash tools/wine-lanes.sh $(WINTEST)

test: ready
	@$(MAKE) test-native test-wine

# One test of the Wine level by its CTest name, as its lane runs it (SHIPPED=1: an e2e.* test on the shipped file
# where the main lanes run a 64-bit build), e.g. make test-one TEST=e2e.CommandLineStatusIsOneJsonDocument
test-one: ready
	@$(MAKE) test-one-steps

test-one-steps: wintest prefix fixtures
	@bash tools/test-one.sh $(WINTEST) $(TEST)

# The demo keeps its own Wine prefix and installer folder in $(DEMO) between runs, apart from the tests' prefix.
DEMO         := $(BUILD)/demo

run: ready
	@$(MAKE) run-steps

run-steps: wintest fixtures
	@bash tools/run-demo.sh $(WINTEST)/src/InstallationUtils/OrvantaLumetraSDKInstaller/OrvantaLumetraSDK_10_2_1_578_Installer_140411.exe $(FIXTURES) $(DEMO)

demo-clean:
	rm -rf $(DEMO)

# Every page and the progress dialogs as pictures in build/screenshots (a prefix of their own, which the run
# installs stand-ins into); the README's pictures in docs/ are copied from them.
SHOTS_PREFIX := $(WINEPREFIX)-screenshots
README_SHOTS := 06-core-components 14-utilities-2 dialog-download-and-install
screenshots: ready
	@$(MAKE) screenshots-steps

screenshots-steps: wintest fixtures
	@WINEPREFIX=$(SHOTS_PREFIX) bash tools/wine-prefix.sh
	@rm -rf $(BUILD)/screenshots
	@WINEPREFIX=$(SHOTS_PREFIX) INSTALLER_FIXTURES=$(FIXTURES) bash tools/with-wine.sh bash tests/win32/run-with-server.sh \
	  python3 tests/e2e/screenshots.py $(BUILD)/screenshots --work $(BUILD)/screenshots-work \
	  --exe $(WINTEST)/src/InstallationUtils/OrvantaLumetraSDKInstaller/OrvantaLumetraSDK_10_2_1_578_Installer_140411.exe \
	  --driver $(WINTEST)/tests/e2e/WizardDriver.exe
	@mkdir -p docs && for n in $(README_SHOTS); do cp $(BUILD)/screenshots/$$n.png docs/$$n.png; done

# Only the report goes to standard output (a script may parse the JSON); building and preparing talk on stderr.
status: ready
	@$(MAKE) status-steps

status-steps:
	@$(MAKE) wintest prefix >&2
	@bash tools/status.sh $(WINTEST) $(STATUS_ARGS)

bench: ready
	@$(MAKE) bench-steps

bench-steps: wintest prefix fixtures
	@for b in tools/bench/*.sh; do echo "== $$b =="; bash $$b $(WINTEST) $(FIXTURES) || exit 1; done

fuzz: deps
	@bash tools/fuzz.sh

clean:
	rm -rf $(BUILD)
