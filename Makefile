# Darvelinto: the two set-up commands are `make run` and `make test`.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)

.PHONY: all deps configure build run test bench demo-data screenshots lint clean

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	@$(BUILD_DIR)/darvelinto

test: build
	@cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: build
	@bash scripts/bench.sh $(BUILD_DIR)

demo-data: build
	@$(BUILD_DIR)/tools/darvelinto-datagen demo $(BUILD_DIR)/demo/darvelinto.db

screenshots: build
	@bash scripts/screenshots.sh $(BUILD_DIR)

# Every warning category on, against the built module (it describes the back-end objects).
lint: build
	@/usr/lib/qt6/bin/qmllint -I $(BUILD_DIR)/qml $$(find qml -name '*.qml')

clean:
	@rm -rf $(BUILD_DIR)
