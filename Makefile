BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: deps build run test test-asan test-tsan bench package interop clean

deps:
	./scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./scripts/run-viewer.sh $(BUILD)/pixalto

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The libraries below the program are not instrumented, so their own
# allocations at exit are not reported as leaks. Under a sanitizer the
# program runs several times slower and a suite that waits on the window
# manager can miss its answer: each suite gets a second try, and the output
# still shows the first failure.
test-asan: deps
	cmake -S . -B $(BUILD)-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPIXALTO_SANITIZE=ON
	cmake --build $(BUILD)-asan -j $(JOBS)
	cd $(BUILD)-asan && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 \
		UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure --repeat until-pass:2 -j $(JOBS)

# Qt is not built for the thread sanitizer: races inside it are not reported,
# and the program tells the sanitizer where work crosses threads through Qt.
test-tsan: deps
	cmake -S . -B $(BUILD)-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPIXALTO_TSAN=ON
	cmake --build $(BUILD)-tsan -j $(JOBS)
	cd $(BUILD)-tsan && QT_QPA_PLATFORM=offscreen \
		TSAN_OPTIONS="ignore_noninstrumented_modules=1 die_after_fork=0 halt_on_error=1 suppressions=$(CURDIR)/tests/tsan-suppressions.txt" \
		ctest --output-on-failure --repeat until-pass:2 -j $(JOBS)

bench: build
	cmake --build $(BUILD) --target benchmarks

# A Debian package in $(BUILD), checked by lintian; its warnings are listed in the README.
package: build
	desktop-file-validate packaging/com.orvenkosoft.Pixalto.desktop
	appstreamcli validate --no-net packaging/com.orvenkosoft.Pixalto.metainfo.xml
	cd $(BUILD) && cpack -G DEB
	lintian --fail-on error $(BUILD)/pixalto_*.deb
	@# Nothing in the package names a folder of the machine that built it.
	! dpkg-deb --fsys-tarfile $(BUILD)/pixalto_*.deb | grep -a -F -o -m 1 -e "$(CURDIR)" -e "$(abspath $(BUILD))"

# The rich text against LibreOffice Writer, which it installs when missing;
# not part of make test.
interop: build
	./scripts/interop.sh $(BUILD)

clean:
	rm -rf $(BUILD)
