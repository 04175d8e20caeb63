# The two entry points of the README: `make run` and `make test`. Everything else is a step of those.
SHELL := /bin/bash
MAKEFLAGS += --no-print-directory
.DEFAULT_GOAL := help

BUILD        := $(CURDIR)/build
NATIVE       := $(BUILD)/native
WIN          := $(BUILD)/win32
FIXTURES     := $(BUILD)/fixtures
export WINEPREFIX := $(BUILD)/wineprefix
export WINEARCH   := win32
export WINEDEBUG  := -all
export WINEDLLOVERRIDES := mscoree,mshtml=
JOBS         ?= 2
EXE          := $(WIN)/src/InstallationUtils/OrvantaLumetraSDKInstaller/OrvantaLumetraSDK_10_2_1_578_Installer_140411.exe

.PHONY: help deps native win32 prefix fixtures build test test-native test-wine run status bench fuzz clean

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

prefix: deps
	@bash tools/wine-prefix.sh

fixtures: deps win32
	@bash tests/fixtures/generate.sh $(FIXTURES) $(WIN)

build: native win32

test-native: native
	@echo "== unit tests (native, sanitizers on) =="
	@ctest --test-dir $(NATIVE) --output-on-failure -j$(JOBS) --timeout 120

test-wine: win32 prefix fixtures
	@echo "== Wine integration and end-to-end tests =="
	@bash tools/with-wine.sh bash tests/win32/run-with-server.sh ctest --test-dir $(WIN) --output-on-failure --timeout 300

test: test-native test-wine

run: win32 prefix fixtures
	@bash tools/run-demo.sh $(EXE) $(FIXTURES)

status: win32 prefix
	@bash tools/status.sh $(WIN) $(STATUS_ARGS)

bench: win32 prefix fixtures
	@for b in tools/bench/*.sh; do echo "== $$b =="; bash $$b $(WIN) $(FIXTURES) || exit 1; done

fuzz: deps
	@bash tools/fuzz.sh

clean:
	rm -rf $(BUILD)
