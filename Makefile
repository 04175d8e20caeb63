# The two entry points of the README: `make run` and `make test`. Everything else is a step of those.
SHELL := /bin/bash
MAKEFLAGS += --no-print-directory
.DEFAULT_GOAL := help

BUILD        := $(CURDIR)/build
NATIVE       := $(BUILD)/native
WIN          := $(BUILD)/win32
export WINEDEBUG  := -all
export WINEDLLOVERRIDES := mscoree,mshtml=
JOBS         ?= 2
EXE          := $(WIN)/src/InstallationUtils/OrvantaLumetraSDKInstaller/OrvantaLumetraSDK_10_2_1_578_Installer_140411.exe

# The program is 32-bit, and so is its Wine level where this machine runs 32-bit code. Where it cannot (some
# virtual machines run 64-bit user code only), the Wine level builds the same sources for x86-64 and runs them
# in a 64-bit prefix with 64-bit stand-ins; the 32-bit program is still built and its executable checked.
WINE_ARCH    := $(shell bash tools/wine-arch.sh)
ifeq ($(WINE_ARCH),win64)
WINTEST      := $(BUILD)/win64
TOOLCHAIN    := $(CURDIR)/cmake/mingw-x86_64.cmake
FIXTURES     := $(BUILD)/fixtures64
export WINEPREFIX   := $(BUILD)/wineprefix64
export WINEARCH     := win64
export WINELOADER   := /usr/lib/wine/wine64
export FIXTURE_ARCH := x64
# "wine" is the 64-bit loader (Debian's wine script would pick the 32-bit one, which cannot start here).
export PATH := $(CURDIR)/tools/wine64-bin:$(PATH)
else
WINTEST      := $(WIN)
TOOLCHAIN    := $(CURDIR)/cmake/mingw-i686.cmake
FIXTURES     := $(BUILD)/fixtures
export WINEPREFIX   := $(BUILD)/wineprefix
export WINEARCH     := win32
export FIXTURE_ARCH := x86
endif

.PHONY: help deps native win32 wintest prefix fixtures build test test-native test-wine run demo-clean screenshots status bench fuzz clean

help:
	@echo "make run    - install dependencies, build, and open the installer under Wine against the local vendor server"
	@echo "make test   - install dependencies, build both configurations, run unit, Wine and end-to-end tests"

deps:
	@bash tools/install-deps.sh

native: deps
	@cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=Debug -DINSTALLER_SANITIZE=ON >/dev/null
	@cmake --build $(NATIVE) -j$(JOBS)

win32: deps
	@cmake -S . -B $(WIN) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release \
	       -DINSTALLER_FIXTURES=$(FIXTURES) >/dev/null
	@cmake --build $(WIN) -j$(JOBS)

# The build the Wine level runs: the 32-bit one itself, or its 64-bit twin (see WINE_ARCH above).
wintest: win32
ifneq ($(WINTEST),$(WIN))
	@cmake -S . -B $(WINTEST) -DCMAKE_TOOLCHAIN_FILE=$(TOOLCHAIN) -DCMAKE_BUILD_TYPE=Release \
	       -DINSTALLER_FIXTURES=$(FIXTURES) -DINSTALLER_PRODUCT_EXE=$(EXE) >/dev/null
	@cmake --build $(WINTEST) -j$(JOBS)
endif

prefix: deps
	@bash tools/wine-prefix.sh

fixtures: deps wintest
	@bash tests/fixtures/generate.sh $(FIXTURES) $(WINTEST)

build: native win32

test-native: native
	@echo "== unit tests (native, sanitizers on) =="
	@ctest --test-dir $(NATIVE) --output-on-failure -j$(JOBS) --timeout 120

test-wine: wintest prefix fixtures
	@echo "== Wine integration and end-to-end tests ($(WINE_ARCH)) =="
	@bash tools/wine-lanes.sh $(WINTEST)

test: test-native test-wine

# The demo keeps its own Wine prefix and installer folder in $(DEMO) between runs, apart from the tests' prefix.
DEMO         := $(BUILD)/demo

run: wintest fixtures
	@bash tools/run-demo.sh $(WINTEST)/src/InstallationUtils/OrvantaLumetraSDKInstaller/OrvantaLumetraSDK_10_2_1_578_Installer_140411.exe $(FIXTURES) $(DEMO)

demo-clean:
	rm -rf $(DEMO)

# Every page and the progress dialogs as pictures in build/screenshots (a prefix of their own, which the run
# installs stand-ins into); the README's pictures in docs/ are copied from them.
SHOTS_PREFIX := $(WINEPREFIX)-screenshots
README_SHOTS := 06-core-components 14-utilities-2 dialog-download-and-install
screenshots: wintest fixtures
	@WINEPREFIX=$(SHOTS_PREFIX) bash tools/wine-prefix.sh
	@rm -rf $(BUILD)/screenshots
	@WINEPREFIX=$(SHOTS_PREFIX) INSTALLER_FIXTURES=$(FIXTURES) bash tools/with-wine.sh bash tests/win32/run-with-server.sh \
	  python3 tests/e2e/screenshots.py $(BUILD)/screenshots --work $(BUILD)/screenshots-work \
	  --exe $(WINTEST)/src/InstallationUtils/OrvantaLumetraSDKInstaller/OrvantaLumetraSDK_10_2_1_578_Installer_140411.exe \
	  --driver $(WINTEST)/tests/e2e/WizardDriver.exe
	@mkdir -p docs && for n in $(README_SHOTS); do cp $(BUILD)/screenshots/$$n.png docs/$$n.png; done

# Only the report goes to standard output (a script may parse the JSON); building and preparing talk on stderr.
status:
	@$(MAKE) wintest prefix >&2
	@bash tools/status.sh $(WINTEST) $(STATUS_ARGS)

bench: wintest prefix fixtures
	@for b in tools/bench/*.sh; do echo "== $$b =="; bash $$b $(WINTEST) $(FIXTURES) || exit 1; done

fuzz: deps
	@bash tools/fuzz.sh

clean:
	rm -rf $(BUILD)
