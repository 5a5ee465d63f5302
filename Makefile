# The two commands of the README, and a few more for developers.
.PHONY: run test config sim bench bench-wine package format install-x11

run:
	scripts/run.sh /s

test:
	scripts/test.sh

config:
	scripts/run.sh /c

sim bench:
	scripts/setup.sh
	cmake --preset native-release >/dev/null
	cmake --build --preset native-release
	@[ "$@" != bench ] || build/native-release/bench/korvane_bench

bench-wine:
	bench/wine_bench.sh

package:
	scripts/package.sh

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

# The native X11 program, its manual page and its saver-manager description, under
# $(DESTDIR)$(PREFIX): bin/, share/man/man6/ and share/xscreensaver/config/.
PREFIX ?= /usr/local
install-x11:
	cmake --preset native-release >/dev/null
	cmake --build --preset native-release --target korvane-x11
	DESTDIR="$(DESTDIR)" cmake --install build/native-release --component x11 --prefix "$(PREFIX)"
