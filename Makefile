# The two commands of the README, and a few more for developers.
.PHONY: run test config sim bench bench-wine package format

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
